"""python3 -m kelvor model-design: the model-true horn for a beamwidth at a
level, or for a dish's edge illumination, as CSV in full precision."""

from __future__ import annotations

import argparse
from typing import Any, Optional

from . import model
from ._cli import (CliError, add_output_flags, columns, default, deliver, model_epilog,
                   model_limits, number, parse_values, refuse_invalid)

NAME = "model-design"


def dish_request(args: argparse.Namespace) -> bool:
    """Whether the request is a dish's edge (refusing a mix of a beam and a
    dish); a beam's level defaults to the library's."""
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
        return True
    if args.beamwidth is None:
        raise CliError("--beamwidth", "is needed (or --f-over-d and --edge-illumination)")
    if args.level is None:
        args.level = default(model.design, "level_db")
    return False


def run(args: argparse.Namespace) -> int:
    edge = dish_request(args)
    s = parse_values(args.phase_deviation, "--phase-deviation")
    if edge:
        r = model.design_for_edge(args.freq, args.f_over_d, s,
                                  edge_illumination_db=args.edge_illumination, unit=args.unit)
    else:
        r = model.design(args.freq, args.beamwidth, s, level_db=args.level, unit=args.unit)
    refuse_invalid(r.status, "--freq, --f-over-d and --edge-illumination" if edge
                   else "--freq, --beamwidth and --level")
    request = {"freq_ghz": f"{args.freq:g}", "beamwidth_deg": repr(r.beamwidth_deg),
               "level_db": repr(r.level_db), "unit": args.unit}
    if edge:
        request.update(f_over_d=f"{args.f_over_d:g}",
                       edge_illumination_db=f"{args.edge_illumination:g}")
    request["model_limits"] = model_limits()
    return deliver(args.csv, [name for name, _ in columns(NAME, args.unit)],
                   zip(r.phase_deviation, r.aperture_radius, r.slant_radius,
                       r.aperture_radius_wavelengths, r.real_cone, r.reason, r.valid,
                       r.validity_reason), request)


def register(subparsers: Any) -> None:
    d = subparsers.add_parser(NAME, epilog=model_epilog(), help="The model-true horn for any beam and level.",
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
