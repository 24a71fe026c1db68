"""What every command of ``python3 -m kelvor`` shares: the value parser, the
error, the all-or-nothing outputs and the CSV writer.

* ``parse_values(text, flag)``: a number, a list ``a,b,c`` or a range
  ``start:stop:step`` counted as the dialogue counts its tables (descending
  ranges have a negative step).
* ``CliError(flag, message)``: a user error, reported against the flag as typed
  on one line of standard error, exit status 2.
* ``Outputs``: every file a command writes goes to a temporary beside its
  target and is moved into place only when every step has succeeded.
* ``write_csv(path, columns, rows, request)``: the one CSV schema
  (``csv_schema.json``, stated in the README).
"""

from __future__ import annotations

import argparse
import csv
import inspect
import io
import json
import math
import os
import sys
import tempfile
from importlib import resources
from pathlib import Path
from types import TracebackType
from typing import IO, Any, Callable, Iterable, NoReturn, Optional, Sequence, Union

import numpy as np

from . import _kelvor

PROG = "python3 -m kelvor"
EXIT_USAGE = 2
FIGURE_SUFFIXES = (".svg", ".png", ".pdf")

# The most rows a command computes from one value list or range: enough for a
# band at 1 MHz steps or a cut at 0.001 degrees, and a table of them still takes
# seconds. The Python functions take longer arrays; a command refuses them up
# front rather than run for hours.
MAX_ROWS = 200_000


class CliError(Exception):
    """A user error, named by the flag as the user typed it (None when it is
    about no single flag)."""

    def __init__(self, flag: Optional[str], message: str) -> None:
        super().__init__(flag, message)
        self.flag = flag
        self.message = message

    def __str__(self) -> str:
        text = self.message.strip().rstrip(".")
        text = f"{self.flag}: {text}" if self.flag else text[:1].upper() + text[1:]
        return text + "."


class Parser(argparse.ArgumentParser):
    """argparse with its errors as CliError, so that every command reports in
    one format."""

    def __init__(self, *args: Any, **kwargs: Any) -> None:
        # No abbreviated flags: a message names the flag as the user typed it.
        kwargs.setdefault("allow_abbrev", False)
        super().__init__(*args, **kwargs)

    def error(self, message: str) -> NoReturn:
        raise CliError(None, message)


def _single(text: str, flag: str) -> float:
    try:
        value = float(text)
    except ValueError:
        raise CliError(flag, f"{text.strip()!r} is not a number") from None
    if math.isnan(value):
        raise CliError(flag, f"{text.strip()!r} is not a number")
    return value


def parse_values(text: str, flag: str, *, single_precision: bool = False,
                 limit: int = MAX_ROWS) -> list[float]:
    """The values of a number, a list ``a,b,c`` or a range ``start:stop:step``.

    A range has as many rows as the dialogue gives it, int((stop - start) /
    step + 1.4) in single precision (the compiled row rule, not restated), so a
    descending range has a negative step. Its values are start + k * step: the
    dialogue's single-precision values when ``single_precision`` (the exact
    tables), else computed in double and rounded to 12 significant digits, so
    that 0.1 * 3 is 0.3. More than ``limit`` values are refused."""
    parts = text.split(":")
    if len(parts) == 1:
        values = [_single(p, flag) for p in text.split(",")]
    elif len(parts) == 3:
        start, stop, step = (_single(p, flag) for p in parts)
        if not all(map(math.isfinite, (start, stop, step))) or step == 0:
            raise CliError(flag, f"the range {text!r} needs finite numbers and a step other "
                                 f"than 0")
        if abs((stop - start) / step) > 2 * limit:
            # Far too many rows, refused before the compiled rule lays them out.
            raise CliError(flag, f"the range {text!r} has about {abs((stop - start) / step):.3g} "
                                 f"rows, more than the {limit} a command computes")
        try:
            rows = _kelvor.sweep(start, stop, step)
        except ValueError as e:
            raise CliError(flag, f"the range {text!r} {e}") from None
        if rows.size == 0:
            raise CliError(flag, f"the range {text!r} has no rows (a descending range needs "
                                 f"a negative step)")
        if rows.size > limit:
            raise CliError(flag, f"the range {text!r} has {rows.size} rows, more than the "
                                 f"{limit} a command computes")
        if single_precision:
            return [float(v) for v in rows]
        return [float(f"{start + k * step:.12g}") for k in range(rows.size)]
    else:
        raise CliError(flag, f"{text!r} is not a number, a list a,b,c or a range "
                             f"start:stop:step")
    if len(values) > limit:
        raise CliError(flag, f"{len(values)} values, more than the {limit} a command computes")
    return values


def number(text: str, flag: str) -> float:
    """One number, as an argparse type for flag."""
    return _single(text, flag)


def figure_path(name: Optional[str], flag: str) -> Optional[str]:
    """The figure file's name, refused unless it ends in a known format."""
    if name is not None and not name.lower().endswith(FIGURE_SUFFIXES):
        raise CliError(flag, f"a figure file must end in .svg, .png or .pdf, and {name!r} "
                             f"does not")
    return name


class Outputs:
    """All-or-nothing files: ``path(target)`` gives a temporary beside the
    target; when the ``with`` block ends without an exception every temporary
    is moved onto its target, and on any exception every one is removed."""

    def __init__(self) -> None:
        self._moves: list[tuple[Path, Path]] = []

    def __enter__(self) -> Outputs:
        return self

    def path(self, target: Union[str, os.PathLike[str]], flag: Optional[str] = None) -> Path:
        """A new temporary file in the target's folder, to be moved onto it."""
        goal = Path(target)
        if goal.is_dir():
            # Refused now: moving a file onto a folder would fail after others had moved.
            raise CliError(flag, f"cannot write {str(goal)!r}: it is a folder")
        try:
            fd, name = tempfile.mkstemp(prefix=f".{goal.name}.", suffix=".part",
                                        dir=goal.parent)
        except OSError as e:
            raise CliError(flag, f"cannot write {str(goal)!r}: {e.strerror or e}") from None
        os.close(fd)
        self._moves.append((Path(name), goal))
        return Path(name)

    def _discard(self) -> None:
        for temporary, _ in self._moves:
            temporary.unlink(missing_ok=True)
        self._moves.clear()

    def __exit__(self, kind: Optional[type[BaseException]], error: Optional[BaseException],
                 trace: Optional[TracebackType]) -> None:
        if kind is not None:
            self._discard()
            return
        # The files get the permissions a plain open() would have given them.
        mask = os.umask(0)
        os.umask(mask)
        try:
            for temporary, goal in self._moves:
                os.chmod(temporary, 0o666 & ~mask)
            for temporary, goal in self._moves:
                os.replace(temporary, goal)
        except OSError as e:
            # The file the user named, not its temporary.
            goal = next((g for t, g in self._moves if str(t) == e.filename), e.filename)
            self._discard()
            raise CliError(None, f"cannot write {str(goal)!r}: {e.strerror or e}") from None
        self._moves.clear()


Cell = Union[str, float, bool, np.bool_, np.floating[Any], None]


def cell(value: Cell, digits: Optional[int] = None) -> str:
    """One CSV cell: empty for no answer (None or NaN), yes/no for a flag, a
    number with ``digits`` decimals (a printed table's) or in full precision."""
    if value is None:
        return ""
    if isinstance(value, str):
        return value
    if isinstance(value, (bool, np.bool_)):
        return "yes" if value else "no"
    v = float(value)
    if math.isnan(v):
        return ""
    if math.isinf(v):
        return "inf" if v > 0 else "-inf"
    if digits is not None:
        return f"{v:.{max(digits, 0)}f}"
    # A single-precision value in its shortest exact decimal form, any other in double's.
    with np.errstate(over="ignore"):
        single = np.float32(v)
    return str(single) if float(single) == v else repr(v)


def _schema() -> dict[str, Any]:
    text = resources.files(__package__).joinpath("csv_schema.json").read_text()
    tables: dict[str, Any] = json.loads(text)["tables"]
    return tables


SCHEMA = _schema()

# Decimals of a printed length in unit, from the printed table's inches or centimetres.
_LENGTH_DIGITS = {"in": 0, "cm": 0, "mm": -1, "m": 2}


def columns(table: str, unit: str = "in",
            levels: Sequence[float] = ()) -> list[tuple[str, Optional[int]]]:
    """The (name, decimals) of a table's CSV columns, from the schema."""
    out: list[tuple[str, Optional[int]]] = []
    repeats = iter(levels)
    for col in SCHEMA[table]:
        digits = col.get("digits")
        if digits is not None and col.get("length"):
            digits += _LENGTH_DIGITS[unit]
        for _ in range(col.get("repeat", 1)):
            level = f"{next(repeats):g}" if "{level}" in col["name"] else ""
            out.append((col["name"].format(unit=unit, level=level), digits))
    return out


def write_csv(path: Union[str, os.PathLike[str], IO[str]], columns: Sequence[str],
              rows: Iterable[Sequence[Union[str, Cell]]], request: dict[str, str]) -> None:
    """The request as ``# key: value`` lines, the header and the rows (cells as
    given, or formatted by ``cell``) to a file or an open text stream."""
    if isinstance(path, (str, os.PathLike)):
        with open(path, "w", newline="", encoding="utf-8") as stream:
            write_csv(stream, columns, rows, request)
        return
    for key, value in request.items():
        path.write(f"# {key}: {value}\n")
    w = csv.writer(path, lineterminator="\n")
    w.writerow(columns)
    for row in rows:
        if len(row) != len(columns):
            raise ValueError(f"a row of {len(row)} cells under {len(columns)} columns")
        w.writerow([c if isinstance(c, str) else cell(c) for c in row])


# The Python parameters of the library as the flags that carry them.
FLAGS = {"freq_ghz": "--freq", "beamwidth_deg": "--beamwidth", "level_db": "--level",
         "level_index": "--level-index", "aperture_radius": "--aperture",
         "slant_radius": "--slant", "phase_deviation": "--phase-deviation",
         "theta_deg": "--theta", "f_over_d": "--f-over-d", "feed_position": "--feed-position",
         "reference_freq_ghz": "--reference-freq", "edge_illumination_db": "--edge-illumination",
         "unit": "--unit"}


def default(function: Callable[..., Any], name: str) -> Any:
    """The default of a library function's parameter: one set of defaults."""
    return inspect.signature(function).parameters[name].default


def library_error(error: ValueError, flags: dict[str, str] = FLAGS) -> CliError:
    """A library's ValueError, which names its Python parameter first, as a
    CliError about the flag that carried it."""
    text = str(error)
    name = text.split(" ", 1)[0]
    if name in flags:
        return CliError(flags[name], text[len(name):].strip())
    return CliError(None, text)


def emit(text: str) -> int:
    """Text to standard output; 1 when the reader has gone (| head), quietly,
    as a filter does."""
    try:
        sys.stdout.write(text)
        sys.stdout.flush()
    except BrokenPipeError:
        # Keep the interpreter's final flush from failing again.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        return 1
    return 0


def fail(command: str, error: Exception) -> int:
    """The one error format: one line on standard error, exit status 2."""
    print(f"{PROG}{' ' + command if command else ''}: error: {error}", file=sys.stderr)
    return EXIT_USAGE


# A figure to write: the flag that named it, its file and a function drawing it
# (returning a matplotlib Figure).
Figure = tuple[str, str, Callable[[], Any]]


def _save_figure(draw: Callable[[], Any], temporary: Path, target: str) -> None:
    import matplotlib  # type: ignore[import]
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt  # type: ignore[import]
    figure = draw()
    try:
        figure.savefig(temporary, format=target.rsplit(".", 1)[1].lower())
    finally:
        plt.close(figure)


def deliver(csv_file: Optional[str], columns: Sequence[str],
            rows: Iterable[Sequence[Union[str, Cell]]], request: dict[str, str],
            figures: Sequence[Figure] = ()) -> int:
    """The CSV (to csv_file, or standard output) and the figures, all or
    nothing: standard output is written only once every file is in place."""
    text = io.StringIO()
    write_csv(text, columns, rows, request)
    for flag, name, _ in figures:
        figure_path(name, flag)
    with Outputs() as outputs:
        if csv_file is not None:
            outputs.path(csv_file, "--csv").write_text(text.getvalue(), encoding="utf-8")
        for flag, name, draw in figures:
            _save_figure(draw, outputs.path(name, flag), name)
    return 0 if csv_file is not None else emit(text.getvalue())


def add_output_flags(command: argparse.ArgumentParser, unit: str, *,
                     plot: Optional[str] = "Also write a figure to this file (.svg, .png or "
                                           ".pdf).") -> None:
    """--unit (default the library's), --csv and, with its help text, --plot."""
    command.add_argument("--unit", default=unit, choices=("in", "cm", "mm", "m"),
                         help=f"The length unit (default {unit}).")
    command.add_argument("--csv", metavar="FILE",
                         help="Write the CSV to this file instead of standard output.")
    if plot is not None:
        command.add_argument("--plot", metavar="FILE", help=plot)


def model_limits() -> str:
    """The model-true path's stated limits, for the request block of its CSV."""
    from .model import LIMITS as x
    return (f"valid for k a >= {x['min_hybrid_ka']:g} (beta/k >= "
            f"{x['min_hybrid_beta_over_k']:g} for the hybrid mode) above the cut-off k a = "
            f"{x['cutoff_ka']:g}, rim phase within {x['max_rim_phase_excess_cycles']:g} cycle "
            f"of S; refused beyond k a + 4 pi S = {x['max_aperture_turn']:g} or "
            f"{x['max_dish_rows']:g} dish rows")


def model_epilog() -> str:
    """The help text's statement of where the model holds."""
    return (f"Each row says whether the model holds for its horn (valid, validity_reason): "
            f"{model_limits()}.")


def refuse_invalid(status: Any, flags: str) -> None:
    """The exit-status rule: a row with no answer because its input is invalid,
    or refused as too much work, fails the command; other rows without an
    answer are data with a reason."""
    from ._status import Failure
    for refusal in (Failure.INVALID_INPUT, Failure.TOO_MUCH_WORK):
        if bool(np.any(np.asarray(status) == refusal)):
            raise CliError(None, f"no answer: {refusal.describe()} (see {flags})")
