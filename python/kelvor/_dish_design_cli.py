"""python3 -m kelvor dish-design: the horn of each phase deviation that
maximises a dish's aperture efficiency, as CSV in full precision."""

from __future__ import annotations

import argparse
from typing import Any

import numpy as np

from . import model
from ._cli import (add_output_flags, columns, default, deliver, model_epilog, model_limits, number,
                   parse_values, refuse_invalid)

NAME = "dish-design"


def run(args: argparse.Namespace) -> int:
    freq = parse_values(args.freq, "--freq")
    s = default(model.design_for_dish, "phase_deviation") if args.phase_deviation is None \
        else parse_values(args.phase_deviation, "--phase-deviation")
    r = model.design_for_dish(args.f_over_d, freq, phase_deviation=s,
                              reference_freq_ghz=args.reference_freq, unit=args.unit)
    refuse_invalid(r.status, "--f-over-d, --freq or --reference-freq")
    best = np.arange(r.phase_deviation.size) == (-1 if r.best is None else r.best)
    request = {"f_over_d": f"{args.f_over_d:g}", "freq_ghz": args.freq,
               "reference_freq_ghz": repr(r.reference_freq_ghz), "unit": args.unit,
               "model_limits": model_limits()}
    return deliver(args.csv, [c for c, _ in columns(NAME, args.unit)],
                   zip(r.phase_deviation, r.aperture_radius, r.slant_radius, r.feed_position,
                       100 * r.aperture_efficiency, r.real_cone, best, r.reason, r.valid,
                       r.validity_reason, r.optimum_on_bound), request)


def register(subparsers: Any) -> None:
    g = subparsers.add_parser(NAME, epilog=model_epilog(), help="The horn that maximises a dish's efficiency.",
                              description="For each phase deviation, the horn that maximises the "
                                          "aperture efficiency of a dish (its lowest over a "
                                          "band).")
    g.add_argument("--f-over-d", type=lambda t: number(t, "--f-over-d"), required=True,
                   help="The focal ratio of the dish.")
    g.add_argument("--freq", required=True,
                   help="The frequencies in GHz: f, a list a,b,c or start:stop:step.")
    s: Any = default(model.design_for_dish, "phase_deviation")
    g.add_argument("--phase-deviation", default=None,
                   help=f"The phase deviations S to try, cycles (default {s[0]:g} to "
                        f"{s[-1]:g} by {s[1] - s[0]:g}).")
    g.add_argument("--reference-freq", type=lambda t: number(t, "--reference-freq"),
                   default=default(model.design_for_dish, "reference_freq_ghz"),
                   help="The frequency in GHz at which S is taken (default: the middle of the "
                        "band).")
    add_output_flags(g, default(model.design_for_dish, "unit"), plot=None)
    g.set_defaults(run=run)
