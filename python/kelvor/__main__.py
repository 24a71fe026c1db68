"""python3 -m kelvor: the KELVOR tables and pattern cuts as CSV, and their figures.

    python3 -m kelvor design --freq 10 --beamwidth 30 --level 10 \\
        --phase-deviation 0.1:0.5:0.1 --unit in
    python3 -m kelvor response --aperture 2.6118 --slant 28.8985 --freq 9:11:0.5
    python3 -m kelvor pattern --aperture 2.6118 --slant 28.8985 --freq 10 \\
        --theta 0:60:0.25 --plot pattern.svg

Ranges are start:stop:step, counted as the dialogue counts its tables. Every
error in the arguments, or a file that cannot be written, is one line on
standard error and exit status 2. The table and the figure are made in memory
first, so nothing is written when any step fails.
"""

from __future__ import annotations

import argparse
import csv
import io
import os
import re
import sys
from dataclasses import dataclass
from typing import Any, Callable, List, NoReturn, Optional, Sequence

import numpy as np
import numpy.typing as npt

import kelvor
from kelvor import _model_cli

PROG = "python3 -m kelvor"
PLOT_FORMATS = ("svg", "png", "pdf")


class _Usage(Exception):
    """A user error: its text is printed as one sentence and the status is 2."""


class _Parser(argparse.ArgumentParser):
    """Errors as _Usage, and the help option's own text as a sentence."""

    def __init__(self, *args: Any, **kwargs: Any) -> None:
        kwargs["add_help"] = False
        super().__init__(*args, **kwargs)
        self.add_argument("-h", "--help", action="help", help="Show this help and exit.")

    def error(self, message: str) -> NoReturn:
        raise _Usage(message)


@dataclass
class Output:
    """What a command produces: the CSV columns and, for --plot, a function
    that draws the figure and returns it."""
    header: List[str]
    columns: List[npt.NDArray[np.float64]]
    draw: Callable[[], Any]


# The library's argument names as the options that carry them.
_OPTIONS = {"freq_ghz": "--freq", "beamwidth_deg": "--beamwidth", "level_db": "--level",
            "level_index": "--level-index", "aperture_radius": "--aperture",
            "slant_radius": "--slant", "phase_deviation": "--phase-deviation",
            "theta_deg": "--theta"}


def _sentence(text: str) -> str:
    text = re.sub(r"\b[a-z]+_[a-z_]+\b", lambda m: _OPTIONS.get(m[0], m[0]), text.strip())
    text = text[:1].upper() + text[1:]
    return text if text.endswith((".", "?", "!")) else text + "."


def _float(text: str) -> float:
    try:
        return float(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not a number") from None


def _range(text: str) -> npt.NDArray[np.float64]:
    """A number or start:stop:step."""
    parts = text.split(":")
    try:
        numbers = [float(p) for p in parts]
    except ValueError:
        raise argparse.ArgumentTypeError(
            f"{text!r} is not a number or a range start:stop:step") from None
    if len(numbers) == 1:
        return np.array(numbers, dtype=np.float64)
    if len(numbers) != 3:
        raise argparse.ArgumentTypeError(f"a range is start:stop:step, and {text!r} is not")
    try:
        values = kelvor.sweep(*numbers)
    except ValueError as e:
        raise argparse.ArgumentTypeError(str(e)) from None
    if values.size == 0:
        raise argparse.ArgumentTypeError(f"the range {text!r} has no values")
    return values


def _common(cmd: argparse.ArgumentParser, *, with_level: bool = True) -> None:
    if with_level:
        cmd.add_argument("--level", type=_float, default=10.0,
                         help="The pattern level in dB below the axis (default 10).")
        cmd.add_argument("--level-index", type=int, default=None, choices=(1, 2, 3, 4),
                         help="For a level other than 3, 6, 10 or 20 dB, the column (1 to 4) "
                              "of the nominal level it derives from.")
    cmd.add_argument("--unit", default="in", choices=("in", "cm", "mm", "m"),
                     help="The length unit (default in).")
    cmd.add_argument("--csv", metavar="FILE",
                     help="Write the CSV to this file instead of standard output.")
    cmd.add_argument("--plot", metavar="FILE",
                     help="Also write a figure to this file (.svg, .png or .pdf).")


def _horn(cmd: argparse.ArgumentParser) -> None:
    cmd.add_argument("--aperture", type=_float, required=True,
                     help="The aperture radius, in the length unit.")
    cmd.add_argument("--slant", type=_float, required=True,
                     help="The slant radius (apex to aperture rim), in the length unit.")


def _design(args: argparse.Namespace) -> Output:
    res = kelvor.design(args.freq, args.beamwidth, args.phase_deviation, level_db=args.level,
                        level_index=args.level_index, unit=args.unit)
    u = args.unit
    from kelvor import plot
    return Output(["phase_deviation", f"aperture_radius_{u}", f"slant_radius_{u}", "gain_db",
                   f"phase_centre_{u}"],
                  [res.phase_deviation, res.aperture_radius, res.slant_radius, res.gain_db,
                   res.phase_centre], lambda: plot.design(res)[0].figure)


def _response(args: argparse.Namespace) -> Output:
    res = kelvor.response(args.aperture, args.slant, args.freq, level_db=args.level,
                          level_index=args.level_index, unit=args.unit)
    from kelvor import plot
    return Output(["freq_ghz"] + [f"beamwidth_{db:g}db_deg" for db in res.levels_db]
                  + ["gain_db", f"phase_centre_{args.unit}"],
                  [res.freq_ghz, *res.beamwidth_deg.T, res.gain_db, res.phase_centre],
                  lambda: plot.response(res)[0].figure)


def _pattern(args: argparse.Namespace) -> Output:
    res = kelvor.pattern(args.aperture, args.slant, args.freq, args.theta, unit=args.unit,
                         obliquity=not args.no_obliquity)
    from kelvor import plot
    return Output(["theta_deg", "level_db", "phase_deg"],
                  [res.theta_deg, res.level_db, res.phase_deg],
                  lambda: plot.pattern(res)[0].figure)


def _parser() -> argparse.ArgumentParser:
    assert __doc__ is not None
    p = _Parser(prog=PROG, description=_sentence(__doc__.split("\n\n")[0].split(": ", 1)[1]),
                epilog="Ranges are start:stop:step, counted as the dialogue counts its "
                       "tables. Errors are one line on standard error with exit status 2.")
    sub = p.add_subparsers(dest="command", required=True, parser_class=_Parser,
                           metavar="COMMAND")

    d = sub.add_parser("design", help="The design table over phase deviations.",
                       description="The horns that meet a beamwidth at a level, one per "
                                   "phase deviation.")
    d.add_argument("--freq", type=_float, required=True, help="The frequency in GHz.")
    d.add_argument("--beamwidth", type=_float, required=True,
                   help="The full beamwidth in degrees.")
    d.add_argument("--phase-deviation", type=_range, required=True,
                   help="The maximum aperture phase deviation in cycles: S or start:stop:step.")
    _common(d)
    d.set_defaults(compute=_design)

    r = sub.add_parser("response", help="The frequency response of a horn.",
                       description="Beamwidths at four levels, gain and phase centre of a horn "
                                   "at each frequency.")
    _horn(r)
    r.add_argument("--freq", type=_range, required=True,
                   help="The frequency in GHz: f or start:stop:step.")
    _common(r)
    r.set_defaults(compute=_response)

    c = sub.add_parser("pattern", help="The far-field pattern cut of a horn.",
                       description="Level relative to the axis and phase of a horn's far field "
                                   "at each angle off the axis.")
    _horn(c)
    c.add_argument("--freq", type=_float, required=True, help="The frequency in GHz.")
    c.add_argument("--theta", type=_range, default=_range("0:90:0.5"),
                   help="The angles off the axis in degrees: t or start:stop:step "
                        "(default 0:90:0.5).")
    c.add_argument("--no-obliquity", action="store_true",
                   help="Give the aperture pattern alone, without the obliquity factor.")
    _common(c, with_level=False)
    c.set_defaults(compute=_pattern)

    # The model-true commands: design for a beam or a dish, and the dish itself.
    _model_cli.add_commands(sub)
    return p


def _csv_text(header: Sequence[str], columns: Sequence[npt.NDArray[np.float64]]) -> str:
    out = io.StringIO()
    w = csv.writer(out, lineterminator="\n")
    w.writerow(header)
    for row in zip(*columns):
        w.writerow([_number(float(v)) for v in row])
    return out.getvalue()


def _number(v: float) -> str:
    # A single-precision value in its shortest exact decimal form; any other
    # (a length in mm or m) in double's.
    single = np.float32(v)
    return str(single) if float(single) == v or v != v else repr(v)


def _figure_bytes(draw: Callable[[], Any], path: str) -> bytes:
    import matplotlib  # type: ignore[import]
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt  # type: ignore[import]
    fig = draw()
    buffer = io.BytesIO()
    fig.savefig(buffer, format=path.rsplit(".", 1)[1].lower())
    plt.close(fig)
    return buffer.getvalue()


def _write(path: str, data: bytes, what: str) -> None:
    try:
        with open(path, "wb") as f:
            f.write(data)
    except OSError as e:
        raise _Usage(f"cannot write the {what} file {path!r}: {e.strerror or e}") from None


def _run(argv: Optional[Sequence[str]]) -> int:
    args = _parser().parse_args(argv)
    if not hasattr(args, "compute"):
        # A model-true command runs itself and reports its own errors.
        status: int = args.run(args)
        return status
    if args.plot and args.plot.rsplit(".", 1)[-1].lower() not in PLOT_FORMATS:
        raise _Usage(f"the figure file must end in .svg, .png or .pdf, and {args.plot!r} does not")
    output: Output = args.compute(args)
    text = _csv_text(output.header, output.columns)
    figure = _figure_bytes(output.draw, args.plot) if args.plot else None
    if args.csv:
        _write(args.csv, text.encode(), "CSV")
    if figure is not None:
        _write(args.plot, figure, "figure")
    if not args.csv:
        try:
            sys.stdout.write(text)
            sys.stdout.flush()
        except BrokenPipeError:
            # The reader has gone (| head): stop quietly, as a filter does, and
            # keep the interpreter's final flush from failing again.
            os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
            return 1
    return 0


def main(argv: Optional[Sequence[str]] = None) -> int:
    """Run the command line; the exit status."""
    try:
        return _run(argv)
    except (_Usage, ValueError) as e:
        print(f"{PROG}: error: {_sentence(str(e))}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        print(f"{PROG}: interrupted.", file=sys.stderr)
        return 130


if __name__ == "__main__":
    sys.exit(main())
