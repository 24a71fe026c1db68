"""KELVOR: conical corrugated horns designed to beamwidth, from Python.

Every value is the single-precision value the KELVOR dialogue prints for the
same request, so fixed-point editing of it gives the table's digits.

    import kelvor
    d = kelvor.design(10, 30, 10, kelvor.sweep(0.1, 0.5, 0.1))
    r = kelvor.response(2.6118, 28.8985, kelvor.sweep(9, 11, 0.5))
    p = kelvor.pattern(10, 2.6118, 28.8985, kelvor.sweep(0, 60, 0.5))
"""

from dataclasses import dataclass
import math

import numpy as np

from . import _kelvor

__all__ = ["sweep", "design", "response", "pattern",
           "DesignResult", "ResponseResult", "PatternResult", "NOMINAL_LEVELS"]

# The nominal levels (dB) of the four beamwidth columns.
NOMINAL_LEVELS = tuple(float(level) for level in _kelvor.NOMINAL_LEVELS)
# The dialogue's unit choice.
_UNITS = {"cm": _kelvor.CENTIMETRES, "in": _kelvor.INCHES}


@dataclass(frozen=True)
class DesignResult:
    """One design table: lengths in `unit`, gain in dB."""
    phase_deviation: np.ndarray
    aperture_radius: np.ndarray
    slant_radius: np.ndarray
    gain_db: np.ndarray
    phase_centre: np.ndarray
    unit: str


@dataclass(frozen=True)
class ResponseResult:
    """One frequency response: beamwidths (n x 4, degrees) at `levels_db`."""
    freq_ghz: np.ndarray
    levels_db: np.ndarray
    beamwidth_deg: np.ndarray
    gain_db: np.ndarray
    phase_centre: np.ndarray
    unit: str


@dataclass(frozen=True)
class PatternResult:
    """One pattern cut: level relative to the axis (dB) and phase (degrees)."""
    theta_deg: np.ndarray
    level_db: np.ndarray
    phase_deg: np.ndarray


def _scalar(name, value):
    """The value as a float32 scalar, as the dialogue stores an answer."""
    try:
        f = np.float32(value)
    except (TypeError, ValueError, OverflowError):
        raise ValueError(f"{name} must be a number, got {value!r}") from None
    if np.ndim(value) != 0:
        raise ValueError(f"{name} must be a scalar, got shape {np.shape(value)}")
    return f


def _positive(name, value, allow_inf=False):
    f = _scalar(name, value)
    if math.isnan(f) or f <= 0 or (math.isinf(f) and not allow_inf):
        raise ValueError(f"{name} must be a finite number > 0, got {value!r}"
                         if not allow_inf else f"{name} must be > 0, got {value!r}")
    return f


def _array(name, value, check, what):
    """A scalar or 1-D array as a 1-D float32 array whose every value passes check."""
    try:
        # A copy: the computation runs without the GIL, so the caller's array
        # must not be the one it reads.
        a = np.array(value, dtype=np.float32, copy=True)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a number or a 1-D array of numbers") from None
    if a.ndim > 1:
        raise ValueError(f"{name} must be a scalar or a 1-D array, got shape {a.shape}")
    a = np.atleast_1d(a)
    if a.size == 0:
        raise ValueError(f"{name} must not be empty")
    if not np.all(check(a)):
        raise ValueError(f"{name} must be {what}")
    return np.ascontiguousarray(a)


def _unit(unit):
    if unit not in _UNITS:
        raise ValueError(f"unit must be 'in' or 'cm', got {unit!r}")
    return _UNITS[unit]


def _level_index(level_db, level_index):
    """The level index the dialogue would use: the nominal level's own, or the
    one the user names for any other level."""
    if level_index is not None:
        if isinstance(level_index, bool) or not isinstance(level_index, (int, np.integer)) \
                or not 1 <= level_index <= len(NOMINAL_LEVELS):
            raise ValueError(f"level_index must be 1, 2, 3 or 4, got {level_index!r}")
    if float(level_db) in NOMINAL_LEVELS:
        nominal = NOMINAL_LEVELS.index(float(level_db)) + 1
        if level_index is not None and level_index != nominal:
            raise ValueError(f"level_index must be {nominal} (or None) for the nominal "
                             f"level {float(level_db):g} dB, got {level_index!r}")
        return nominal
    if level_index is None:
        raise ValueError(f"level_index (1 to 4) is needed for the level {float(level_db):g} dB, "
                         f"which is not one of {', '.join(f'{x:g}' for x in NOMINAL_LEVELS)}")
    return int(level_index)


def sweep(start, stop, step):
    """The values of a table from start to stop by step, as the dialogue counts
    and computes them: int((stop - start) / step + 1.4) rows, row k holding
    (k - 1) * step + start."""
    start, stop, step = (_scalar(n, v) for n, v in
                         (("start", start), ("stop", stop), ("step", step)))
    if not math.isfinite(start) or not math.isfinite(stop) or not math.isfinite(step) \
            or step == 0:
        raise ValueError("start, stop and step must be finite and step not 0")
    return _kelvor.sweep(start, stop, step)


def design(freq_ghz, beamwidth_deg, level_db, phase_deviation, *, level_index=None, unit="in"):
    """The design table: the horn that has `beamwidth_deg` at `level_db` for each
    phase deviation (cycles)."""
    freq = _positive("freq_ghz", freq_ghz)
    beamwidth = _positive("beamwidth_deg", beamwidth_deg)
    level = _positive("level_db", level_db)
    klev = _level_index(level, level_index)
    iunit = _unit(unit)
    s = _array("phase_deviation", phase_deviation, lambda a: np.isfinite(a) & (a >= 0),
               "finite and >= 0")
    return DesignResult(*_kelvor.design(freq, beamwidth, level, klev, iunit, s), unit=unit)


def response(aperture_radius, slant_radius, freq_ghz, *, level_db=10, level_index=None,
             unit="in"):
    """The frequency response of a horn (radii in `unit`): beamwidths at the four
    column levels, gain and phase centre at each frequency."""
    aperture = _positive("aperture_radius", aperture_radius)
    slant = _positive("slant_radius", slant_radius, allow_inf=True)
    level = _positive("level_db", level_db)
    klev = _level_index(level, level_index)
    iunit = _unit(unit)
    freq = _array("freq_ghz", freq_ghz, lambda a: np.isfinite(a) & (a > 0), "finite and > 0")
    return ResponseResult(*_kelvor.response(aperture, slant, level, klev, iunit, freq), unit=unit)


def pattern(freq_ghz, aperture_radius, slant_radius, theta_deg, *, unit="in", obliquity=True):
    """The far-field pattern cut of a horn (radii in `unit`) at the angles
    theta_deg off the axis: level relative to the on-axis value, times the
    obliquity factor (1 + cos theta) / 2 when `obliquity`, and phase."""
    freq = _positive("freq_ghz", freq_ghz)
    aperture = _positive("aperture_radius", aperture_radius)
    slant = _positive("slant_radius", slant_radius, allow_inf=True)
    iunit = _unit(unit)
    theta = _array("theta_deg", theta_deg, np.isfinite, "finite")
    return PatternResult(*_kelvor.pattern(freq, aperture, slant, iunit, bool(obliquity), theta))


def __getattr__(name):
    # kelvor.plot loads matplotlib, so it is imported on first use only.
    if name == "plot":
        import importlib
        return importlib.import_module(".plot", __name__)
    raise AttributeError(f"module 'kelvor' has no attribute {name!r}")
