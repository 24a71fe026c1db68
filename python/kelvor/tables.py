"""The exact tables: the values the KELVOR dialogue prints, from Python.

Every value these functions return is the single-precision number the dialogue
computes for the same request, widened to float64 (the widening is exact), so
that rounding it to the table's decimals gives the table's digits. Exactness is
promised in inches and centimetres, the tables' own units; lengths in mm and m
go through the centimetre table (see ``unit`` below).

Units
-----
``unit`` is one of ``"in"`` (the default), ``"cm"``, ``"mm"`` and ``"m"``.
Lengths given in mm or m are converted to centimetres in double precision and
rounded once to single precision, as if typed in centimetres. Lengths returned
in mm are ten times the centimetre table's values, exactly; lengths returned in
m are the centimetre values divided by 100 in double precision (one rounding).

Reference points and signs
--------------------------
- The phase centre is the distance of the point source whose far-field phase
  best matches the horn's over the 10 dB beam, measured along the axis from the
  centre of the aperture plane toward the apex: positive inside the horn.
- Pattern levels are in dB relative to the on-axis level (0 on the axis,
  negative off it). Pattern phases are in degrees, in [-180, 180], of the far
  field referred to the centre of the aperture plane, with time dependence
  exp(jwt): a lagging field has a negative phase.
- Beamwidths are full widths in degrees. A beamwidth the pattern never reaches
  (the level is not met) is printed by the dialogue as -180.0 (scaled to the
  caller's level in its column); ``level_missed`` marks it.
- A row whose slant radius is shorter than its aperture radius has no real cone
  (the half-angle asin(a / R) does not exist); ``real_cone`` is False there
  (``no_cone``, its opposite, is deprecated). Its values are the dialogue's,
  computed as for any other row.
- Every result carries ``status`` (a ``Failure`` per row), ``reason`` (its
  text) and ``ok``, as ``kelvor.model``'s results do: a response row that
  misses a level has the status ``LEVEL_NOT_REACHED``.
"""

from __future__ import annotations

import math
import warnings
from dataclasses import dataclass
from typing import Optional

import numpy as np
import numpy.typing as npt

from . import _kelvor
from ._checks import (BoolArray, Float64Array, Unit, Values, array, checked_level_index, flag,
                      float32, from_table, length, positive, table_unit)
from ._status import Failure, reasons

__all__ = ["sweep", "design", "response", "pattern", "DesignResult", "ResponseResult",
           "PatternResult", "NOMINAL_LEVELS", "Failure"]

#: The nominal levels (dB) of the four beamwidth columns, from the compiled module.
NOMINAL_LEVELS: tuple[float, ...] = tuple(float(v) for v in _kelvor.NOMINAL_LEVELS)


class _Rows:
    """``real_cone`` per row, ``status`` (Failure codes), ``reason`` and ``ok``;
    ``no_cone`` is the deprecated opposite of ``real_cone``."""
    real_cone: BoolArray
    status: npt.NDArray[np.int_]

    @property
    def reason(self) -> npt.NDArray[np.object_]:
        return reasons(self.status)

    @property
    def ok(self) -> BoolArray:
        ok: BoolArray = self.status == Failure.NONE
        return ok

    @property
    def no_cone(self) -> BoolArray:
        warnings.warn("no_cone is deprecated, use real_cone (its opposite)", DeprecationWarning,
                      stacklevel=2)
        return ~self.real_cone


@dataclass(frozen=True)
class DesignResult(_Rows):
    """One design table, a row per phase deviation.

    Attributes
    ----------
    phase_deviation : ndarray of float64, shape (n,)
        Maximum aperture phase deviation S = a^2 / (2 lambda R), cycles.
    aperture_radius, slant_radius : ndarray of float64, shape (n,)
        Radii in ``unit``; the slant radius is infinite where S = 0.
    gain_db : ndarray of float64, shape (n,)
        On-axis gain, dBi.
    phase_centre : ndarray of float64, shape (n,)
        Phase centre in ``unit``, from the aperture plane toward the apex.
    real_cone : ndarray of bool, shape (n,)
        False where the slant radius is shorter than the aperture radius.
    status : ndarray of int, shape (n,)
        ``Failure.NONE`` on every row (``reason`` its text, ``ok`` all True).
    unit : str
        The length unit.
    freq_ghz, beamwidth_deg, level_db : float
        The request: the beamwidth (degrees) at the level (dB) at the frequency (GHz).
    """
    phase_deviation: Float64Array
    aperture_radius: Float64Array
    slant_radius: Float64Array
    gain_db: Float64Array
    phase_centre: Float64Array
    real_cone: BoolArray
    status: npt.NDArray[np.int_]
    unit: Unit
    freq_ghz: float
    beamwidth_deg: float
    level_db: float


@dataclass(frozen=True)
class ResponseResult(_Rows):
    """One frequency response of a horn, a row per frequency.

    Attributes
    ----------
    aperture_radius, slant_radius : float
        The horn, in ``unit``, as the table computed with it.
    freq_ghz : ndarray of float64, shape (n,)
        Frequency, GHz.
    levels_db : ndarray of float64, shape (4,)
        The pattern levels (dB below the axis) of the four beamwidth columns.
    beamwidth_deg : ndarray of float64, shape (n, 4)
        Full beamwidths, degrees, at ``levels_db``; negative where the level is
        missed (see ``level_missed``).
    gain_db : ndarray of float64, shape (n,)
        On-axis gain, dBi.
    phase_centre : ndarray of float64, shape (n,)
        Phase centre in ``unit``, from the aperture plane toward the apex.
    level_missed : ndarray of bool, shape (n, 4)
        True where the pattern never falls to the column's level.
    real_cone : ndarray of bool, shape (n,)
        False on every row when the slant radius is shorter than the aperture radius.
    status : ndarray of int, shape (n,)
        ``Failure.LEVEL_NOT_REACHED`` where a level is missed, else ``NONE``.
    unit : str
        The length unit.
    """
    aperture_radius: float
    slant_radius: float
    freq_ghz: Float64Array
    levels_db: Float64Array
    beamwidth_deg: Float64Array
    gain_db: Float64Array
    phase_centre: Float64Array
    level_missed: BoolArray
    real_cone: BoolArray
    status: npt.NDArray[np.int_]
    unit: Unit


@dataclass(frozen=True)
class PatternResult:
    """One far-field pattern cut of a horn at one frequency.

    Attributes
    ----------
    aperture_radius, slant_radius : float
        The horn, in ``unit``.
    freq_ghz : float
        Frequency, GHz.
    theta_deg : ndarray of float64, shape (n,)
        Angle off the axis, degrees.
    level_db : ndarray of float64, shape (n,)
        Level relative to the on-axis level, dB (0 on the axis).
    phase_deg : ndarray of float64, shape (n,)
        Phase, degrees in [-180, 180], referred to the centre of the aperture
        plane (wrapped; ``kelvor.plot.pattern`` unwraps it and refers it to the
        phase centre).
    obliquity : bool
        Whether ``level_db`` includes the obliquity factor (1 + cos theta) / 2.
    unit : str
        The length unit of the radii.
    status : Failure
        ``Failure.NONE``: a table's cut always has an answer (``ok`` True).
    """
    aperture_radius: float
    slant_radius: float
    freq_ghz: float
    theta_deg: Float64Array
    level_db: Float64Array
    phase_deg: Float64Array
    obliquity: bool
    unit: Unit
    status: Failure = Failure.NONE

    @property
    def reason(self) -> str:
        return self.status.describe()

    @property
    def ok(self) -> bool:
        return self.status == Failure.NONE


def sweep(start: float, stop: float, step: float) -> Float64Array:
    """The values of a table's rows from start to stop by step, as the dialogue
    counts and computes them.

    Parameters
    ----------
    start, stop, step : float
        The range, rounded to single precision as the dialogue stores it; step
        must not be 0.

    Returns
    -------
    ndarray of float64, shape (n,)
        n = int((stop - start) / step + 1.4) rows (none when n < 1); row k
        (from 1) holds the single-precision value of (k - 1) * step + start.

    Raises
    ------
    ValueError
        If a value is not a finite number, step is 0, or the range has more than
        10**8 rows, the most a table is built with in memory (the message gives
        the count).
    """
    a, b, c = float32("start", start), float32("stop", stop), float32("step", step)
    if not (math.isfinite(a) and math.isfinite(b) and math.isfinite(c)) or c == 0:
        raise ValueError(f"start, stop and step must be finite numbers and step not 0, "
                         f"got {start!r}, {stop!r}, {step!r}")
    try:
        values: npt.NDArray[np.float32] = _kelvor.sweep(a, b, c)
    except ValueError as e:
        raise ValueError(f"the range {start!r}:{stop!r}:{step!r} {e}") from None
    return values.astype(np.float64)


def _levels(level_db: object, index: object) -> tuple[np.float32, int]:
    level = positive("level_db", level_db)
    return level, checked_level_index(level, index)


def design(freq_ghz: float, beamwidth_deg: float, phase_deviation: Values, *,
           level_db: float = 10.0, level_index: Optional[int] = None,
           unit: Unit = "in") -> DesignResult:
    """The design table: for each phase deviation, the horn whose full
    beamwidth at ``level_db`` below the axis is ``beamwidth_deg``.

    Parameters
    ----------
    freq_ghz : float
        Frequency, GHz (> 0).
    beamwidth_deg : float
        Required full beamwidth, degrees (> 0).
    phase_deviation : float or 1-D array of float
        Maximum aperture phase deviations S, cycles (>= 0), for example
        ``sweep(0.1, 0.5, 0.1)``; 0 gives an infinitely long horn.
    level_db : float, keyword-only
        The pattern level (dB below the axis, > 0) at which the beamwidth holds.
    level_index : int, keyword-only
        For a level that is not one of ``NOMINAL_LEVELS``, the column (1 to 4)
        of the nominal level it derives from; None (or its own index) for a
        nominal level.
    unit : {"in", "cm", "mm", "m"}, keyword-only
        Length unit of the returned radii and phase centre.

    Returns
    -------
    DesignResult

    Raises
    ------
    ValueError
        Naming the argument that is not a number, out of range, or a string.
    """
    freq = positive("freq_ghz", freq_ghz)
    beamwidth = positive("beamwidth_deg", beamwidth_deg)
    level, klev = _levels(level_db, level_index)
    iunit = table_unit(unit)
    s = array("phase_deviation", phase_deviation, lambda v: np.isfinite(v) & (v >= 0),
              "finite and >= 0")
    rows: npt.NDArray[np.float32] = _kelvor.design(freq, beamwidth, level, klev, iunit, s)
    aperture: Float64Array
    slant: Float64Array
    aperture, slant = from_table(rows[:, 1], unit), from_table(rows[:, 2], unit)
    return DesignResult(rows[:, 0].astype(np.float64), aperture, slant,
                        rows[:, 3].astype(np.float64), from_table(rows[:, 4], unit),
                        slant >= aperture, np.full(len(rows), int(Failure.NONE)), unit,
                        float(freq_ghz), float(beamwidth_deg), float(level_db))


def response(aperture_radius: float, slant_radius: float, freq_ghz: Values, *,
             level_db: float = 10.0, level_index: Optional[int] = None,
             unit: Unit = "in") -> ResponseResult:
    """The frequency response of a horn: beamwidths at four levels, gain and
    phase centre at each frequency.

    Parameters
    ----------
    aperture_radius : float
        Aperture radius a in ``unit`` (> 0).
    slant_radius : float
        Slant radius R in ``unit``, apex to aperture rim (> 0; ``inf`` for a
        flat phase front).
    freq_ghz : float or 1-D array of float
        Frequencies, GHz (> 0), for example ``sweep(9, 11, 0.5)``.
    level_db : float, keyword-only
        The caller's pattern level (dB below the axis); it replaces the nominal
        level of its column.
    level_index : int, keyword-only
        For a level that is not one of ``NOMINAL_LEVELS``, the column (1 to 4) it
        replaces.
    unit : {"in", "cm", "mm", "m"}, keyword-only
        Length unit of the radii given and of the phase centre returned.

    Returns
    -------
    ResponseResult

    Raises
    ------
    ValueError
        Naming the argument that is not a number, out of range, or a string.
    """
    iunit = table_unit(unit)
    aperture = length("aperture_radius", aperture_radius, unit)
    slant = length("slant_radius", slant_radius, unit, allow_inf=True)
    level, klev = _levels(level_db, level_index)
    freq = array("freq_ghz", freq_ghz, lambda v: np.isfinite(v) & (v > 0), "finite and > 0")
    rows: npt.NDArray[np.float32] = _kelvor.response(aperture, slant, level, klev, iunit, freq)
    beamwidth = rows[:, 1:5].astype(np.float64)
    missed = beamwidth < 0
    status = np.where(missed.any(axis=1), int(Failure.LEVEL_NOT_REACHED), int(Failure.NONE))
    return ResponseResult(
        float(aperture_radius), float(slant_radius), rows[:, 0].astype(np.float64),
        np.array(_kelvor.column_levels(level, klev), dtype=np.float32).astype(np.float64),
        beamwidth, rows[:, 5].astype(np.float64), from_table(rows[:, 6], unit), missed,
        np.full(len(rows), bool(slant >= aperture)), status, unit)


def pattern(aperture_radius: float, slant_radius: float, freq_ghz: float, theta_deg: Values, *,
            unit: Unit = "in", obliquity: bool = True) -> PatternResult:
    """The far-field pattern cut of a horn at the angles ``theta_deg``.

    Parameters
    ----------
    aperture_radius : float
        Aperture radius a in ``unit`` (> 0).
    slant_radius : float
        Slant radius R in ``unit`` (> 0; ``inf`` for a flat phase front).
    freq_ghz : float
        Frequency, GHz (> 0).
    theta_deg : float or 1-D array of float
        Angles off the axis, degrees (finite).
    unit : {"in", "cm", "mm", "m"}, keyword-only
        Length unit of the radii.
    obliquity : bool, keyword-only
        Multiply the aperture pattern by the obliquity factor (1 + cos theta) / 2,
        the far field of the aperture's Huygens sources (the tables' beamwidths
        include it); False gives the aperture pattern alone.

    Returns
    -------
    PatternResult
        Level relative to the on-axis level (dB) and phase (degrees, referred to
        the centre of the aperture plane) at each angle.

    Raises
    ------
    ValueError
        Naming the argument that is not a number, out of range, or a string.
    """
    iunit = table_unit(unit)
    aperture = length("aperture_radius", aperture_radius, unit)
    slant = length("slant_radius", slant_radius, unit, allow_inf=True)
    freq = positive("freq_ghz", freq_ghz)
    flag("obliquity", obliquity)
    theta = array("theta_deg", theta_deg, np.isfinite, "finite")
    rows: npt.NDArray[np.float32] = _kelvor.pattern(aperture, slant, freq, iunit, bool(obliquity),
                                                     theta)
    return PatternResult(float(aperture_radius), float(slant_radius), float(freq_ghz),
                         rows[:, 0].astype(np.float64), rows[:, 1].astype(np.float64),
                         rows[:, 2].astype(np.float64), bool(obliquity), unit)
