"""python3 -m kelvor design: the design table over phase deviations, as CSV with
the printed table's digits, and its figure."""

from __future__ import annotations

import argparse
from typing import Any

from . import tables
from ._cli import add_output_flags, cell, columns, default, deliver, number, parse_values

NAME = "design"


def add_level_flags(command: argparse.ArgumentParser, function: Any) -> None:
    """--level and --level-index, with the library function's defaults."""
    level = default(function, "level_db")
    command.add_argument("--level", type=lambda t: number(t, "--level"), default=level,
                         help=f"The pattern level in dB below the axis (default {level:g}).")
    command.add_argument("--level-index", type=lambda t: int(number(t, "--level-index")),
                         default=default(function, "level_index"),
                         help="For a level other than 3, 6, 10 or 20 dB, the column (1 to 4) "
                              "of the nominal level it derives from.")


def run(args: argparse.Namespace) -> int:
    s = parse_values(args.phase_deviation, "--phase-deviation", single_precision=True)
    r = tables.design(args.freq, args.beamwidth, s, level_db=args.level,
                      level_index=args.level_index, unit=args.unit)
    cols = columns(NAME, args.unit)
    values = (r.phase_deviation, r.aperture_radius, r.slant_radius, r.gain_db, r.phase_centre,
              r.real_cone)
    rows = [[cell(v, digits) for v, (_, digits) in zip(row, cols)] for row in zip(*values)]

    def draw() -> Any:
        from . import plot
        return plot.design(r)[0].figure

    request = {"freq_ghz": f"{args.freq:g}", "beamwidth_deg": f"{args.beamwidth:g}",
               "level_db": f"{args.level:g}", "unit": args.unit}
    return deliver(args.csv, [name for name, _ in cols], rows, request,
                   [("--plot", args.plot, draw)] if args.plot else [])


def register(subparsers: Any) -> None:
    d = subparsers.add_parser(NAME, help="The design table over phase deviations.",
                              description="The horns that meet a beamwidth at a level, one per "
                                          "phase deviation.")
    d.add_argument("--freq", type=lambda t: number(t, "--freq"), required=True,
                   help="The frequency in GHz.")
    d.add_argument("--beamwidth", type=lambda t: number(t, "--beamwidth"), required=True,
                   help="The full beamwidth in degrees.")
    d.add_argument("--phase-deviation", required=True,
                   help="The maximum aperture phase deviation in cycles: S, a list or "
                        "start:stop:step.")
    add_level_flags(d, tables.design)
    add_output_flags(d, default(tables.design, "unit"))
    d.set_defaults(run=run)
