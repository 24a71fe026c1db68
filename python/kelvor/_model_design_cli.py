"""python3 -m kelvor model-design: the model-true horn for a beamwidth at a
level, or for a dish's edge illumination, as CSV in full precision."""

from __future__ import annotations

import argparse
from typing import Any, Optional

from . import model
from ._cli import (CliError, add_output_flags, columns, default, deliver, number, parse_values,
                   refuse_invalid)

NAME = "model-design"


def beam(args: argparse.Namespace) -> tuple[float, float]:
    """The full beamwidth and level of the request: given, or the dish's edge
    angle and the feed level its edge illumination needs."""
    dish: list[tuple[str, Optional[float]]] = [("--f-over-d", args.f_over_d),
                                               ("--edge-illumination", args.edge_illumination)]
    own: list[tuple[str, Optional[float]]] = [("--beamwidth", args.beamwidth),
                                              ("--level", args.level)]
    if any(v is not None for _, v in dish):
        given = [flag for flag, v in own if v is not None]
        if given:
            raise CliError(given[0], "conflicts with --f-over-d and --edge-illumination: "
                                     "give a beam or a dish, not both")
        missing = [flag for flag, v in dish if v is None]
        if missing:
            raise CliError(missing[0], "is needed with " + " and ".join(
                flag for flag, v in dish if v is not None))
        return (2 * model.dish_half_angle_deg(args.f_over_d),
                model.feed_level_db(args.f_over_d, args.edge_illumination))
    if args.beamwidth is None:
        raise CliError("--beamwidth", "is needed (or --f-over-d and --edge-illumination)")
    return args.beamwidth, args.level if args.level is not None else default(model.design,
                                                                             "level_db")


def run(args: argparse.Namespace) -> int:
    beamwidth, level = beam(args)
    s = parse_values(args.phase_deviation, "--phase-deviation")
    r = model.design(args.freq, beamwidth, s, level_db=level, unit=args.unit)
    refuse_invalid(r.status, "--freq, --beamwidth and --level")
    request = {"freq_ghz": f"{args.freq:g}", "beamwidth_deg": repr(beamwidth),
               "level_db": repr(level), "unit": args.unit}
    if args.f_over_d is not None:
        request.update(f_over_d=f"{args.f_over_d:g}",
                       edge_illumination_db=f"{args.edge_illumination:g}")
    return deliver(args.csv, [name for name, _ in columns(NAME, args.unit)],
                   zip(r.phase_deviation, r.aperture_radius, r.slant_radius,
                       r.aperture_radius_wavelengths, r.real_cone, r.reason), request)


def register(subparsers: Any) -> None:
    d = subparsers.add_parser(NAME, help="The model-true horn for any beam and level.",
                              description="The horn whose own pattern meets a beamwidth at a "
                                          "level, or a dish's edge illumination, for each phase "
                                          "deviation.")
    d.add_argument("--freq", type=lambda t: number(t, "--freq"), required=True,
                   help="The frequency in GHz.")
    d.add_argument("--beamwidth", type=lambda t: number(t, "--beamwidth"),
                   help="The full beamwidth in degrees.")
    d.add_argument("--level", type=lambda t: number(t, "--level"),
                   help=f"The level at the beam edge, dB below the axis "
                        f"(default {default(model.design, 'level_db'):g}).")
    d.add_argument("--f-over-d", type=lambda t: number(t, "--f-over-d"),
                   help="Design for the edge of a dish of this focal ratio instead.")
    d.add_argument("--edge-illumination", type=lambda t: number(t, "--edge-illumination"),
                   help="With --f-over-d: the level at the dish edge relative to its vertex, "
                        "dB (negative).")
    d.add_argument("--phase-deviation", default="0.1",
                   help="S (cycles): a value, a list or start:stop:step (default 0.1).")
    add_output_flags(d, default(model.design, "unit"), plot=None)
    d.set_defaults(run=run)
