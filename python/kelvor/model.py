"""The model-true path: the horn's own far field in double precision.

Use these functions for a new design. They integrate the model itself (the
balanced hybrid mode's J0 aperture taper, the quadratic aperture phase
S = a^2 / (2 lambda R) and the Huygens obliquity factor (1 + cos theta)/2) to a
stated accuracy, at any beamwidth, level and phase deviation, and they say why
when there is no answer. The functions of the ``kelvor`` package itself
reproduce the classic tables digit for digit; use those to reproduce a classic
report.

Conventions
-----------
* Argument order: the horn (aperture radius, slant radius), then frequency,
  then angle; options are keyword-only.
* Lengths are in ``unit``: ``"mm"``, ``"cm"``, ``"m"`` or ``"in"``
  (default ``"in"``, as the dialogue). Frequencies in GHz, angles in degrees.
* Results are float64 numpy arrays. A value with no answer is NaN, and its
  ``reason`` says why ("level never reached", "no main-lobe solution", ...);
  ``ok`` is the mask of values with an answer.
* Phase: time dependence exp(+j omega t). Phase centres and feed positions are
  distances from the horn's aperture plane toward its apex (positive inside
  the horn).

    from kelvor import model
    d = model.design(11.7, 128.02, 9.14, 0.1, unit="cm")
    e = model.dish(d.aperture_radius, d.slant_radius, 11.7, f_over_d=0.4, unit="cm")
"""

from __future__ import annotations

from dataclasses import dataclass
import math
from typing import Optional, Sequence, Union

import numpy as np

from . import _kelvor

__all__ = ["UNITS", "dish_half_angle_deg", "space_attenuation_db", "feed_level_db",
           "pattern", "beamwidth", "design", "phase_centre", "dish", "design_for_dish",
           "PatternResult", "BeamwidthResult", "DesignResult", "PhaseCentreResult",
           "DishResult", "DishDesignResult"]

ArrayLike = Union[float, Sequence[float], np.ndarray]

# Metres per unit.
UNITS = {"mm": 1e-3, "cm": 1e-2, "m": 1.0, "in": 0.0254}

_REASONS = tuple(_kelvor.model_failure_names())


def _metres(unit: str) -> float:
    if unit not in UNITS:
        raise ValueError(f"unit must be one of {', '.join(UNITS)}, got {unit!r}")
    return UNITS[unit]


def _number(name: str, value, *, positive: bool = True, allow_inf: bool = False) -> float:
    try:
        f = float(value)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a number, got {value!r}") from None
    if math.isnan(f) or (math.isinf(f) and not allow_inf) or (positive and f <= 0):
        raise ValueError(f"{name} must be a {'positive ' if positive else ''}number, got {value!r}")
    return f


def _array(name: str, value: ArrayLike) -> np.ndarray:
    try:
        a = np.array(value, dtype=np.float64, copy=True)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a number or a 1-D array of numbers") from None
    if a.ndim > 1:
        raise ValueError(f"{name} must be a scalar or a 1-D array, got shape {a.shape}")
    return np.ascontiguousarray(np.atleast_1d(a))


def _reasons(codes: np.ndarray) -> np.ndarray:
    return np.array([_REASONS[c] for c in codes], dtype=object)


def dish_half_angle_deg(f_over_d: float) -> float:
    """The half-angle theta0 (degrees) a paraboloid's rim subtends at its focus,
    2 atan(1 / (4 f/D))."""
    return math.degrees(2 * math.atan(1 / (4 * _number("f_over_d", f_over_d))))


def space_attenuation_db(f_over_d: float) -> float:
    """20 log10((1 + cos theta0) / 2) (dB, negative): the longer path from the
    focus to the rim of the dish than to its vertex."""
    return 20 * math.log10((1 + math.cos(math.radians(dish_half_angle_deg(f_over_d)))) / 2)


def feed_level_db(f_over_d: float, edge_illumination_db: float) -> float:
    """The level (dB below the axis, positive) the feed's pattern must have at the
    dish edge for the edge illumination ``edge_illumination_db`` (negative, dB
    relative to the vertex): the request less the space attenuation."""
    edge = _number("edge_illumination_db", edge_illumination_db, positive=False)
    return -edge + space_attenuation_db(f_over_d)


@dataclass(frozen=True)
class PatternResult:
    """A pattern cut: ``field`` complex, normalised to magnitude 1 on the axis,
    its phase referenced to the axial point ``phase_reference`` (``unit``) from
    the aperture plane toward the apex; ``level_db`` relative to the axis
    (-inf at a null and at 180 degrees); ``phase_deg`` in -180..180."""
    theta_deg: np.ndarray
    field: np.ndarray
    level_db: np.ndarray
    phase_deg: np.ndarray
    phase_reference: float
    unit: str
    reason: str


def pattern(aperture: float, slant: float, freq_ghz: float, theta_deg: ArrayLike, *,
            unit: str = "in", phase_reference: float = 0.0) -> PatternResult:
    """The far field of the horn at the angles ``theta_deg`` off its axis.

    Parameters
    ----------
    aperture, slant : float
        Aperture and slant radius in ``unit``; ``slant`` may be ``inf`` (S = 0).
    freq_ghz : float
        Frequency, GHz.
    theta_deg : float or 1-D array
        Angles off the axis, degrees (0 to 180: the whole sphere).
    unit : {"mm", "cm", "m", "in"}
    phase_reference : float
        Axial point the phase is referenced to: its distance (``unit``) from the
        aperture plane toward the apex. 0 is the centre of the aperture; the
        phase centre makes the phase flat over the beam.

    Notes
    -----
    Level within 0.001 dB down to -40 dB for apertures up to 20 wavelengths in
    radius and S up to 2 (measured against adaptive Gauss-Kronrod quadrature).
    """
    m = _metres(unit)
    theta = _array("theta_deg", theta_deg)
    ref = _number("phase_reference", phase_reference, positive=False)
    re, im, code = _kelvor.model_pattern(_number("aperture", aperture) * m,
                                         _number("slant", slant, allow_inf=True) * m,
                                         _number("freq_ghz", freq_ghz), theta, ref * m)
    field = re + 1j * im
    with np.errstate(divide="ignore"):
        level = 20 * np.log10(np.abs(field))
    return PatternResult(theta, field, level, np.degrees(np.angle(field)), ref, unit,
                         _REASONS[code])


@dataclass(frozen=True)
class BeamwidthResult:
    """Full beamwidths (degrees) at ``level_db`` below the axis; NaN with its
    ``reason`` where there is none."""
    freq_ghz: np.ndarray
    level_db: float
    beamwidth_deg: np.ndarray
    reason: np.ndarray

    @property
    def ok(self) -> np.ndarray:
        return ~np.isnan(self.beamwidth_deg)


def beamwidth(aperture: float, slant: float, freq_ghz: ArrayLike, *, level_db: float = 10.0,
              unit: str = "in") -> BeamwidthResult:
    """The full angle (degrees) at which the horn's pattern first falls to
    ``-level_db`` dB relative to its axis, at each frequency (GHz).

    Found by a scan from the axis and TOMS 748 to 1e-9 relative. The obliquity
    factor takes every pattern to zero at 180 degrees, so a finite level is
    always reached; a width may exceed 180 degrees for a small aperture.
    """
    m = _metres(unit)
    f = _array("freq_ghz", freq_ghz)
    level = _number("level_db", level_db)
    bw, codes = _kelvor.model_beamwidth(_number("aperture", aperture) * m,
                                        _number("slant", slant, allow_inf=True) * m, f, level)
    return BeamwidthResult(f, level, bw, _reasons(codes))


@dataclass(frozen=True)
class DesignResult:
    """Model-true designs, one per phase deviation: radii in ``unit``.
    ``real_cone`` is False where the slant radius is shorter than the aperture
    radius (no such cone exists); ``reason`` says why a row is NaN."""
    phase_deviation: np.ndarray
    aperture_radius: np.ndarray
    slant_radius: np.ndarray
    aperture_radius_wavelengths: np.ndarray
    real_cone: np.ndarray
    reason: np.ndarray
    unit: str

    @property
    def ok(self) -> np.ndarray:
        return ~np.isnan(self.aperture_radius)


def design(freq_ghz: float, beamwidth_deg: float, level_db: float, phase_deviation: ArrayLike, *,
           unit: str = "in") -> DesignResult:
    """The horn whose own pattern first falls to ``-level_db`` at half of
    ``beamwidth_deg``, for each phase deviation S (cycles, 0 to 2), and
    R = a^2 / (2 lambda S).

    No level index is needed: any level works. The designed horn's level at the
    half-angle is the request within 1e-6 dB (round trip over beamwidths 10-170
    degrees, levels 3-20 dB, S 0.05-1). S above 1 is computed from the model,
    not extrapolated. ``reason`` is "no main-lobe solution" where the obliquity
    factor alone already reaches the level at that angle, or the pattern never
    falls that far; ``real_cone`` flags R < a.
    """
    m = _metres(unit)
    s = _array("phase_deviation", phase_deviation)
    a, r, awl, cone, codes = _kelvor.model_design(
        _number("freq_ghz", freq_ghz), _number("beamwidth_deg", beamwidth_deg),
        _number("level_db", level_db), s)
    return DesignResult(s, a / m, r / m, awl, cone.astype(bool), _reasons(codes), unit)


@dataclass(frozen=True)
class PhaseCentreResult:
    """Phase centres (``unit``) from the aperture plane toward the apex."""
    freq_ghz: np.ndarray
    half_angle_deg: float
    axis_to_edge: np.ndarray
    fitted: np.ndarray
    reason: np.ndarray
    unit: str


def phase_centre(aperture: float, slant: float, freq_ghz: ArrayLike, half_angle_deg: float, *,
                 unit: str = "in") -> PhaseCentreResult:
    """The phase centre of the horn over 0..``half_angle_deg`` (for a feed, the
    dish edge), both ways.

    ``axis_to_edge`` is the classic definition (the phase change from the axis
    to the edge equals that of a point source); ``fitted`` the least-squares fit
    of the phase to phi0 - k d cos(theta), weighted by the power in each ring,
    |F|^2 sin(theta). Both are distances from the aperture plane toward the apex
    (positive inside the horn).
    """
    m = _metres(unit)
    f = _array("freq_ghz", freq_ghz)
    classic, fitted, codes = _kelvor.model_phase_centre(
        _number("aperture", aperture) * m, _number("slant", slant, allow_inf=True) * m, f,
        _number("half_angle_deg", half_angle_deg))
    return PhaseCentreResult(f, float(half_angle_deg), classic / m, fitted / m, _reasons(codes),
                             unit)


@dataclass(frozen=True)
class DishResult:
    """The horn on a prime-focus paraboloid at each frequency.

    Efficiencies are fractions; ``aperture_efficiency`` = spillover *
    illumination * phase * polarisation (Silver). ``polarisation`` is 1: the
    balanced hybrid mode has no cross-polar field. ``feed_position`` is the
    focus's distance (``unit``) from the horn's aperture plane toward its apex.
    ``feed_edge_level_db`` is the horn's pattern at the dish edge (relative to
    its axis), ``space_attenuation_db`` = 20 log10((1 + cos theta0)/2), and
    ``edge_illumination_db`` their sum (relative to the vertex)."""
    freq_ghz: np.ndarray
    f_over_d: float
    half_angle_deg: float
    spillover: np.ndarray
    illumination: np.ndarray
    phase: np.ndarray
    polarisation: np.ndarray
    aperture_efficiency: np.ndarray
    feed_position: np.ndarray
    feed_edge_level_db: np.ndarray
    space_attenuation_db: np.ndarray
    edge_illumination_db: np.ndarray
    reason: np.ndarray
    unit: str


def dish(aperture: float, slant: float, freq_ghz: ArrayLike, *, f_over_d: float,
         feed_position: Optional[float] = None, unit: str = "in") -> DishResult:
    """Silver's efficiencies of a paraboloid of focal ratio ``f_over_d`` fed by
    the horn, at each frequency (GHz; computed on every core).

    Parameters
    ----------
    feed_position : float or None
        The focus's distance (``unit``) from the horn's aperture plane toward
        its apex: 0 puts the aperture plane at the focus. None places the feed
        at each frequency's own optimum (Brent's method near the phase centre).

    Notes
    -----
    The integrals cover the whole sphere of the model pattern (its obliquity
    factor vanishes at 180 degrees). Aperture efficiency and spillover are
    converged to 1e-13; an ideal cos^2 feed gives the closed form to 1e-12.
    """
    m = _metres(unit)
    f = _array("freq_ghz", freq_ghz)
    fd = _number("f_over_d", f_over_d)
    pos = math.nan if feed_position is None else \
        _number("feed_position", feed_position, positive=False) * m
    r = _kelvor.model_dish(_number("aperture", aperture) * m,
                           _number("slant", slant, allow_inf=True) * m, f, fd, pos)
    return DishResult(f, fd, dish_half_angle_deg(fd), r["spillover"], r["illumination"],
                      r["phase"], r["polarisation"], r["aperture_efficiency"],
                      r["feed_position_m"] / m, r["feed_edge_level_db"],
                      r["space_attenuation_db"], r["edge_illumination_db"],
                      _reasons(r["failure"]), unit)


@dataclass(frozen=True)
class DishDesignResult:
    """The best horn of each phase deviation for a dish, and ``best``: the index
    of the highest efficiency (None when no row has an answer). Radii and the
    feed position (one for every frequency, from the aperture plane toward the
    apex) in ``unit``; ``aperture_efficiency`` the lowest over the frequencies."""
    f_over_d: float
    freq_ghz: np.ndarray
    reference_freq_ghz: float
    phase_deviation: np.ndarray
    aperture_radius: np.ndarray
    slant_radius: np.ndarray
    feed_position: np.ndarray
    aperture_efficiency: np.ndarray
    real_cone: np.ndarray
    reason: np.ndarray
    best: Optional[int]
    unit: str


def design_for_dish(f_over_d: float, freq_ghz: ArrayLike, *,
                    phase_deviation: ArrayLike = np.round(np.arange(0.0, 0.625, 0.025), 3),
                    reference_freq_ghz: Optional[float] = None,
                    unit: str = "in") -> DishDesignResult:
    """The horn (S, a, R) that maximises the aperture efficiency of a dish of
    focal ratio ``f_over_d`` at a frequency, or its lowest value over a band.

    Parameters
    ----------
    freq_ghz : float or 1-D array
        The frequency, or the frequencies of the band (a few suffice: the band
        edges and its centre).
    phase_deviation : 1-D array
        The phase deviations S (cycles) to try, taken at ``reference_freq_ghz``
        (default: the middle of the band); each gives one row, so the result is
        also the efficiency against S.
    """
    m = _metres(unit)
    f = _array("freq_ghz", freq_ghz)
    ref = (float(f.min()) + float(f.max())) / 2 if reference_freq_ghz is None else \
        _number("reference_freq_ghz", reference_freq_ghz)
    s = _array("phase_deviation", phase_deviation)
    fd = _number("f_over_d", f_over_d)
    r = _kelvor.model_design_for_dish(fd, f, ref, s)
    return DishDesignResult(fd, f, ref, s, r["aperture_radius_m"] / m, r["slant_radius_m"] / m,
                            r["feed_position_m"] / m, r["aperture_efficiency"],
                            r["real_cone"].astype(bool), _reasons(r["failure"]), r["best"], unit)
