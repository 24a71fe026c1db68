"""python3 -m kelvor analyse: a horn (or a component) given as uniform sections,
analysed by mode matching at each frequency: S11, the peak cross-polar level,
the directivity, the phase centre and the mode content as CSV in full
precision, and the figures of S11 and the cross-polar level against frequency
and of the pattern cuts.

    python3 -m kelvor analyse --sections horn.csv --freq 9:12:0.05 --plot band.svg
"""

from __future__ import annotations

import argparse
from typing import Any

import numpy as np

from . import modal
from ._cli import (FLAGS, CliError, add_output_flags, columns, default, deliver, figure_path,
                   library_error, number, parse_values)

NAME = "analyse"

# The most frequencies one command analyses: a corrugated horn of 60 slots costs
# tens of milliseconds a frequency, so this is minutes of work, not hours.
MAX_FREQUENCIES = 10_000

_FLAGS = {**FLAGS, "xpol_within_deg": "--xpol-within", "output": "--output"}


def _sections(args: argparse.Namespace) -> Any:
    """The sections file in --unit, its faults reported against --sections."""
    try:
        return modal.read_sections(args.sections, unit=args.unit)
    except OSError as e:
        raise CliError("--sections", f"cannot read {args.sections!r}: {e.strerror or e}") \
            from None
    except (ValueError, UnicodeDecodeError) as e:
        raise CliError("--sections", str(e)) from None


def _refuse(r: modal.AnalysisResult) -> None:
    """A frequency the horn cannot take (below its input guide's cut-off), or a
    request refused as invalid or too much work, fails the command; a solve
    that did not converge is data with its reason."""
    for code, flag in ((modal.Failure.INPUT_BELOW_CUTOFF, "--freq"),
                       (modal.Failure.TOO_MUCH_WORK, "--sections"),
                       (modal.Failure.INVALID_INPUT, "--sections")):
        where = np.flatnonzero(r.status == code)
        if where.size:
            f = r.freq_ghz[where[0]]
            detail = ""
            if code == modal.Failure.INPUT_BELOW_CUTOFF:
                detail = f" of the {r.sections[0, 1]:g} {r.unit} input guide"
            elif code == modal.Failure.INVALID_INPUT:
                detail = f": {modal.profile_problem(r.sections, f, unit=r.unit)}"
            raise CliError(flag, f"no answer at {f:g} GHz: {code.describe()}{detail}")


def run(args: argparse.Namespace) -> int:
    figure_path(args.plot, "--plot")
    figure_path(args.pattern_plot, "--pattern-plot")
    if args.pattern_plot and args.output == "matched":
        raise CliError("--pattern-plot", "a matched output has no far field to draw")
    freq = parse_values(args.freq, "--freq", limit=MAX_FREQUENCIES)
    sections = _sections(args)
    try:
        r = modal.analyse(sections, freq, unit=args.unit, xpol_within_deg=args.xpol_within,
                          output=args.output)
    except ValueError as e:
        raise library_error(e, _FLAGS) from None
    _refuse(r)
    rows = zip(r.freq_ghz, r.s11_db, r.s11_deg, r.xpol_peak_db, r.directivity_dbi,
               r.phase_centre, r.tm11_over_te11_db, r.hybrid_purity, r.reason)

    def band() -> Any:
        from . import modal_plot
        return modal_plot.band(r).figure

    def cuts() -> Any:
        from . import modal_plot
        return modal_plot.cuts(r).figure

    figures = [(flag, name, draw) for flag, name, draw in
               (("--plot", args.plot, band), ("--pattern-plot", args.pattern_plot, cuts))
               if name]
    request = {"command": NAME, "sections": args.sections, "sections_count": str(len(sections)),
               "freq_ghz": args.freq, "output": args.output,
               "xpol_within_deg": f"{args.xpol_within:g}", "unit": args.unit}
    return deliver(args.csv, [c for c, _ in columns(NAME, args.unit)], rows, request, figures)


def register(subparsers: Any) -> None:
    p = subparsers.add_parser(NAME, help="A horn's S11, cross-polar level and pattern from its "
                                         "sections, by mode matching.",
                              description="S11, the peak cross-polar level, the directivity "
                                          "and the pattern of a body of revolution given as "
                                          "uniform sections, by mode matching.")
    p.add_argument("--sections", required=True, metavar="FILE",
                   help="A CSV with the header length,radius: one row per uniform section, "
                        "the input waveguide first, in --unit.")
    p.add_argument("--freq", required=True,
                   help="The frequencies in GHz: f, a list a,b,c or start:stop:step.")
    p.add_argument("--output", choices=modal.OUTPUTS, default=default(modal.analyse, "output"),
                   help="radiate (the aperture radiates; the default) or matched (the last "
                        "section continues as a matched guide: a component's S11 alone).")
    within = default(modal.analyse, "xpol_within_deg")
    p.add_argument("--xpol-within", metavar="DEG", type=lambda t: number(t, "--xpol-within"),
                   default=within,
                   help=f"Seek the cross-polar peak over 0 to DEG degrees off the axis "
                        f"(default {within:g}).")
    p.add_argument("--pattern-plot", metavar="FILE",
                   help="The co- and cross-polar cuts at the middle frequency "
                        "(.svg, .png or .pdf).")
    add_output_flags(p, default(modal.analyse, "unit"),
                     plot="The S11 and cross-polar figure against frequency "
                          "(.svg, .png or .pdf).")
    p.set_defaults(run=run)
