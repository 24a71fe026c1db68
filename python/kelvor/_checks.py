"""Argument checks and length units shared by the public functions.

Every check raises ValueError naming the argument, so that a wrong call fails
where it is made instead of giving a table of NaN or a silent default.
"""

from __future__ import annotations

import math
import numbers
from typing import Any, Callable, Literal, Sequence, Union

import numpy as np
import numpy.typing as npt

from . import _kelvor

Unit = Literal["mm", "cm", "m", "in"]
# A number, or a sequence or 1-D array of numbers.
Values = Union[float, Sequence[float], npt.NDArray[Any]]
Float64Array = npt.NDArray[np.float64]
BoolArray = npt.NDArray[np.bool_]

# Metric lengths go through the centimetre tables: a length in the unit times
# this factor is centimetres.
_TO_CM = {"mm": 0.1, "cm": 1.0, "m": 100.0}


def number(name: str, value: object) -> float:
    """The value as a Python float, refusing anything that is not a real number
    (strings, booleans and arrays included)."""
    if isinstance(value, np.ndarray) and value.ndim == 0 and value.dtype.kind in "iuf":
        return float(value)
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise ValueError(f"{name} must be a number, got {value!r}")
    return float(value)


def float32(name: str, value: object) -> np.float32:
    """The value rounded to single precision, as the dialogue stores an answer."""
    with np.errstate(over="ignore"):
        return np.float32(number(name, value))


def positive(name: str, value: object) -> np.float32:
    """A finite number > 0 in single precision."""
    f = float32(name, value)
    if not (math.isfinite(f) and f > 0):
        raise ValueError(f"{name} must be a finite number > 0, got {value!r}")
    return f


def _numbers(name: str, value: object, what: str) -> npt.NDArray[Any]:
    """The value as an array of real numbers (not strings), else ValueError
    saying it must be ``what``."""
    if isinstance(value, (str, bytes)):
        raise ValueError(f"{name} must be {what}, got {value!r}")
    try:
        raw = np.asarray(value)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be {what}") from None
    if raw.dtype.kind not in "iuf":
        raise ValueError(f"{name} must be {what}, got values of type {raw.dtype}")
    return raw


def _vector(name: str, value: object, dtype: type[Any]) -> npt.NDArray[Any]:
    """A number or 1-D sequence of numbers as a new contiguous, non-empty 1-D
    array of dtype."""
    raw = _numbers(name, value, "a number or a 1-D array of numbers")
    if raw.ndim > 1:
        raise ValueError(f"{name} must be a scalar or a 1-D array, got shape {raw.shape}")
    # A copy: the computation runs without the GIL, so the caller's array must
    # not be the one it reads.
    with np.errstate(over="ignore"):
        a = np.array(np.atleast_1d(raw), dtype=dtype, order="C", copy=True)
    if a.size == 0:
        raise ValueError(f"{name} must not be empty")
    return a


def array(name: str, value: object, check: Callable[[npt.NDArray[np.float32]], Any],
          what: str) -> npt.NDArray[np.float32]:
    """A number or 1-D sequence of numbers as a new contiguous 1-D float32
    array whose every value passes check."""
    a: npt.NDArray[np.float32] = _vector(name, value, np.float32)
    if not np.all(check(a)):
        raise ValueError(f"{name} must be {what}")
    return a


def array64(name: str, value: object, *, at_least: float = 0.0,
            strict: bool = True) -> Float64Array:
    """A number or 1-D sequence of finite numbers > at_least (>= when not
    strict) as a new contiguous 1-D float64 array."""
    a: Float64Array = _vector(name, value, np.float64)
    above = a > at_least if strict else a >= at_least
    if not np.all(np.isfinite(a) & above):
        raise ValueError(f"{name} must be finite and {'>' if strict else '>='} {at_least:g}")
    return a


def real(name: str, value: object, *, positive: bool = True, allow_inf: bool = False) -> float:
    """A number in double precision: not NaN, finite unless allow_inf, and > 0
    when positive."""
    f = number(name, value)
    if math.isnan(f) or (math.isinf(f) and not allow_inf) or (positive and not f > 0):
        what = ("a number > 0" if allow_inf else "a finite number > 0") if positive \
            else "a finite number"
        raise ValueError(f"{name} must be {what}, got {value!r}")
    return f


# Metres per unit of the model-true path.
METRES = {"mm": 1e-3, "cm": 1e-2, "m": 1.0, "in": 0.0254}


def metres(unit: object) -> float:
    """Metres per unit, refusing an unknown unit."""
    if not isinstance(unit, str) or unit not in METRES:
        raise ValueError(f"unit must be 'mm', 'cm', 'm' or 'in', got {unit!r}")
    return METRES[unit]


def flag(name: str, value: object) -> bool:
    """True or False, and nothing else."""
    if not isinstance(value, (bool, np.bool_)):
        raise ValueError(f"{name} must be True or False, got {value!r}")
    return bool(value)


def table_unit(unit: object) -> int:
    """The dialogue's unit code of the table a unit is computed in: inches, or
    centimetres for every metric unit."""
    if not isinstance(unit, str) or unit not in ("in", *_TO_CM):
        raise ValueError(f"unit must be 'mm', 'cm', 'm' or 'in', got {unit!r}")
    return int(_kelvor.INCHES) if unit == "in" else int(_kelvor.CENTIMETRES)


def length(name: str, value: object, unit: str, *, allow_inf: bool = False) -> np.float32:
    """A length > 0 given in unit as the single-precision length of its table
    (inches, or centimetres for the metric units, converted in double and
    rounded once)."""
    with np.errstate(over="ignore"):
        f = np.float32(number(name, value) * _TO_CM.get(unit, 1.0))
    if not f > 0 or (math.isinf(f) and not allow_inf):
        what = "a number > 0" if allow_inf else "a finite number > 0"
        raise ValueError(f"{name} must be {what} (in {unit}), got {value!r}")
    return f


def from_table(values: npt.NDArray[np.float32], unit: str) -> Float64Array:
    """Single-precision lengths of a table in unit, as float64: exact for inches,
    centimetres and millimetres (ten times a float32 is exact in double), one
    rounding in double for metres."""
    wide = values.astype(np.float64)
    if unit in ("in", "cm"):
        return wide
    if unit == "mm":
        return wide * 10.0
    return wide / 100.0


def checked_level_index(level_db: np.float32, index: object) -> int:
    """The level index the dialogue would use: the nominal level's own, or the
    one the caller names for any other level."""
    if index is not None and (isinstance(index, bool)
                              or not isinstance(index, (int, np.integer))
                              or not 1 <= index <= 4):
        raise ValueError(f"level_index must be 1, 2, 3 or 4, got {index!r}")
    nominal = int(_kelvor.nominal_level_index(level_db))
    if nominal:
        if index is not None and index != nominal:
            raise ValueError(f"level_index must be {nominal} (or None) for the nominal "
                             f"level {float(level_db):g} dB, got {index!r}")
        return nominal
    if index is None:
        levels = ", ".join(f"{v:g}" for v in _kelvor.NOMINAL_LEVELS)
        raise ValueError(f"level_index (1 to 4) is needed for the level {float(level_db):g} dB, "
                         f"which is not one of the nominal levels {levels}")
    return int(index)


def sections(name: str, value: object, unit: object,
             lines: Sequence[int] = ()) -> Float64Array:
    """Uniform sections, an (n, 2) array or a sequence of (length, radius)
    pairs in unit, as a new contiguous (n, 2) float64 array in metres; every
    length and radius finite and > 0 once in metres. ``lines`` names the file
    line of each row in a message (the row's index otherwise)."""
    scale = metres(unit)
    shape = "an (n, 2) array of (length, radius) pairs"
    raw = _numbers(name, value, shape)
    if raw.ndim != 2 or raw.shape[1] != 2 or raw.shape[0] == 0:
        raise ValueError(f"{name} must be {shape}, got shape {raw.shape}")
    # A copy: the computation runs without the GIL, so the caller's array must
    # not be the one it reads.
    with np.errstate(over="ignore", under="ignore"):
        a: Float64Array = np.array(raw, dtype=np.float64, order="C", copy=True) * scale
    bad = np.argwhere(~(np.isfinite(a) & (a > 0)))
    if bad.size:
        row, column = (int(i) for i in bad[0])
        where = f"line {lines[row]}" if lines else f"row {row}"
        raise ValueError(f"{name} must hold finite lengths and radii > 0 (in {unit}), got "
                         f"{('length', 'radius')[column]} {raw[row, column].item()!r} in {where}")
    return a
