"""python3 -m kelvor response: the frequency response of a horn, as CSV with the
printed table's digits (a missed level an empty cell, with its reason), and its
figure."""

from __future__ import annotations

import argparse
from typing import Any

from . import tables
from ._cli import add_output_flags, cell, columns, default, deliver, number, parse_values
from ._design_cli import add_level_flags
from ._status import Failure

NAME = "response"


def add_horn_flags(command: argparse.ArgumentParser) -> None:
    command.add_argument("--aperture", type=lambda t: number(t, "--aperture"), required=True,
                         help="The aperture radius, in the length unit.")
    command.add_argument("--slant", type=lambda t: number(t, "--slant"), required=True,
                         help="The slant radius (apex to aperture rim), in the length unit "
                              "(inf: a flat phase front).")


def horn_request(args: argparse.Namespace) -> dict[str, str]:
    return {f"aperture_radius_{args.unit}": f"{args.aperture:g}",
            f"slant_radius_{args.unit}": f"{args.slant:g}"}


def run(args: argparse.Namespace) -> int:
    freq = parse_values(args.freq, "--freq", single_precision=True)
    r = tables.response(args.aperture, args.slant, freq, level_db=args.level,
                        level_index=args.level_index, unit=args.unit)
    cols = columns(NAME, args.unit, [float(v) for v in r.levels_db])
    rows = []
    for i in range(r.freq_ghz.size):
        widths = [None if missed else w for w, missed in zip(r.beamwidth_deg[i], r.level_missed[i])]
        reason = r.reason[i]
        if r.status[i] == Failure.LEVEL_NOT_REACHED:
            levels = " ".join(f"{v:g}" for v, m in zip(r.levels_db, r.level_missed[i]) if m)
            reason = f"{reason}: {levels} dB"
        values = [r.freq_ghz[i], *widths, r.gain_db[i], r.phase_centre[i], r.real_cone[i], reason]
        rows.append([cell(v, digits) for v, (_, digits) in zip(values, cols)])

    def draw() -> Any:
        from . import plot
        return plot.response(r)[0].figure

    request = {**horn_request(args), "freq_ghz": args.freq, "level_db": f"{args.level:g}",
               "unit": args.unit}
    return deliver(args.csv, [name for name, _ in cols], rows, request,
                   [("--plot", args.plot, draw)] if args.plot else [])


def register(subparsers: Any) -> None:
    r = subparsers.add_parser(NAME, help="The frequency response of a horn.",
                              description="Beamwidths at four levels, gain and phase centre of a "
                                          "horn at each frequency.")
    add_horn_flags(r)
    r.add_argument("--freq", required=True,
                   help="The frequencies in GHz: f, a list or start:stop:step.")
    add_level_flags(r, tables.response)
    add_output_flags(r, default(tables.response, "unit"))
    r.set_defaults(run=run)
