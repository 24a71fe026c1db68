"""python3 -m kelvor pattern: the far-field cut of a horn from the tables'
library, as CSV in full single precision, and its figure."""

from __future__ import annotations

import argparse
from typing import Any

from . import tables
from ._cli import add_output_flags, columns, default, deliver, number, parse_values
from ._response_cli import add_horn_flags, horn_request

NAME = "pattern"


def run(args: argparse.Namespace) -> int:
    theta = parse_values(args.theta, "--theta", single_precision=True)
    r = tables.pattern(args.aperture, args.slant, args.freq, theta, unit=args.unit,
                       obliquity=not args.no_obliquity)

    def draw() -> Any:
        from . import plot
        return plot.pattern(r)[0].figure

    request = {**horn_request(args), "freq_ghz": f"{args.freq:g}",
               "obliquity": "no" if args.no_obliquity else "yes", "unit": args.unit}
    return deliver(args.csv, [name for name, _ in columns(NAME, args.unit)],
                   zip(r.theta_deg, r.level_db, r.phase_deg), request,
                   [("--plot", args.plot, draw)] if args.plot else [])


def register(subparsers: Any) -> None:
    c = subparsers.add_parser(NAME, help="The far-field pattern cut of a horn.",
                              description="Level relative to the axis and phase of a horn's far "
                                          "field at each angle off the axis.")
    add_horn_flags(c)
    c.add_argument("--freq", type=lambda t: number(t, "--freq"), required=True,
                   help="The frequency in GHz.")
    c.add_argument("--theta", default="0:90:0.5",
                   help="The angles off the axis in degrees: t, a list or start:stop:step "
                        "(default 0:90:0.5).")
    c.add_argument("--no-obliquity", action="store_true",
                   help="Give the aperture pattern alone, without the obliquity factor.")
    add_output_flags(c, default(tables.pattern, "unit"))
    c.set_defaults(run=run)
