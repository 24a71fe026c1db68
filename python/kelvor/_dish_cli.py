"""python3 -m kelvor dish: a horn's efficiencies on a prime-focus dish against
frequency, as CSV in full precision (efficiencies in percent), and the
efficiency and pattern figures."""

from __future__ import annotations

import argparse
from typing import Any

import numpy as np

from . import model
from ._cli import (add_output_flags, columns, default, deliver, figure_path, model_epilog,
                   model_limits, number, parse_values, refuse_invalid)
from ._response_cli import add_horn_flags, horn_request

NAME = "dish"


def run(args: argparse.Namespace) -> int:
    figure_path(args.plot, "--plot")
    figure_path(args.pattern_plot, "--pattern-plot")
    freq = parse_values(args.freq, "--freq")
    r = model.dish(args.aperture, args.slant, freq, f_over_d=args.f_over_d,
                   feed_position=args.feed_position, unit=args.unit)
    refuse_invalid(r.status, "horn, --freq or --f-over-d")
    n = r.freq_ghz.size
    rows = zip(r.freq_ghz, [args.aperture] * n, [args.slant] * n, [r.f_over_d] * n,
               r.feed_position, r.edge_illumination_db, r.feed_edge_level_db,
               r.space_attenuation_db, 100 * r.aperture_efficiency, 100 * r.spillover,
               100 * r.illumination, 100 * r.phase, 100 * r.polarisation, r.reason, r.valid,
               r.validity_reason, r.optimum_on_bound)

    def efficiencies() -> Any:
        from . import model_plot
        return model_plot.efficiencies(r).figure

    def pattern() -> Any:
        # At the middle frequency, the phase referred to the focus.
        from . import model_plot
        i = n // 2
        p = model.pattern(args.aperture, args.slant, freq[i], np.linspace(0, 180, 721),
                          unit=args.unit, phase_reference=float(np.nan_to_num(r.feed_position[i])))
        return model_plot.pattern_on_dish(p, args.f_over_d,
                                          edge_level_db=float(r.feed_edge_level_db[i]),
                                          feed_position=float(r.feed_position[i])).figure

    figures = [(flag, name, draw) for flag, name, draw in
               (("--plot", args.plot, efficiencies), ("--pattern-plot", args.pattern_plot, pattern))
               if name]
    request = {**horn_request(args), "freq_ghz": args.freq, "f_over_d": f"{args.f_over_d:g}",
               "feed_position": "optimum" if args.feed_position is None
               else f"{args.feed_position:g}", "unit": args.unit, "model_limits": model_limits()}
    return deliver(args.csv, [c for c, _ in columns(NAME, args.unit)], rows, request, figures)


def register(subparsers: Any) -> None:
    e = subparsers.add_parser(NAME, epilog=model_epilog(), help="A horn's dish efficiencies against frequency.",
                              description="Silver's efficiencies of a prime-focus paraboloid fed "
                                          "by the horn, at each frequency.")
    add_horn_flags(e)
    e.add_argument("--freq", required=True,
                   help="The frequencies in GHz: f, a list a,b,c or start:stop:step.")
    e.add_argument("--f-over-d", type=lambda t: number(t, "--f-over-d"), required=True,
                   help="The focal ratio of the dish.")
    e.add_argument("--feed-position", type=lambda t: number(t, "--feed-position"),
                   default=default(model.dish, "feed_position"),
                   help="The focus's distance from the aperture plane toward the apex "
                        "(default: each frequency's optimum).")
    e.add_argument("--pattern-plot", metavar="FILE",
                   help="The pattern figure with the dish edge, at the middle frequency.")
    add_output_flags(e, default(model.dish, "unit"),
                     plot="The efficiencies figure (.svg, .png or .pdf).")
    e.set_defaults(run=run)
