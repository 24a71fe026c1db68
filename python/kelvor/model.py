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
* Results are float64 numpy arrays. A value with no answer is NaN; every
  result carries ``status`` (a ``Failure``, after scipy's OptimizeResult),
  ``reason`` (its text: "level never reached", "no main-lobe solution", ...)
  and ``ok`` (the mask of values with an answer).
* The names and order are the tables' (``kelvor.design``, ``kelvor.pattern``):
  the old names ``aperture=`` and ``slant=`` still work, with a
  DeprecationWarning, until the next minor release.
* Phase: time dependence exp(+j omega t). Phase centres and feed positions are
  distances from the horn's aperture plane toward its apex (positive inside
  the horn).

    from kelvor import model
    d = model.design(11.7, 128.02, 0.1, level_db=9.14, unit="cm")
    e = model.dish(d.aperture_radius[0], d.slant_radius[0], 11.7, f_over_d=0.4, unit="cm")
"""

from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Any, Optional

import numpy as np
import numpy.typing as npt

from . import _kelvor
from ._checks import (METRES, BoolArray, Float64Array, Unit, Values, array64, metres, real)
from ._status import Failure, Validity, reasons, renamed

__all__ = ["UNITS", "LIMITS", "Failure", "Validity", "dish_half_angle_deg",
           "space_attenuation_db", "feed_level_db", "pattern", "beamwidth", "design",
           "design_for_edge", "phase_centre", "dish", "design_for_dish", "PatternResult",
           "BeamwidthResult", "DesignResult", "PhaseCentreResult", "DishResult",
           "DishDesignResult"]

#: Metres per length unit.
UNITS = METRES

#: The model's stated limits (work refused beyond them, validity bounds), from
#: the C++ library: max_aperture_turn, max_dish_rows, cutoff_ka, min_hybrid_ka, ...
LIMITS: dict[str, float] = dict(_kelvor.model_limits())

CodeArray = npt.NDArray[np.int_]
TextArray = npt.NDArray[np.object_]


class _Status:
    """``status`` (Failure codes), ``reason`` (their text) and ``ok``; the
    model's ``validity`` (Validity codes), ``validity_reason`` and ``valid``.
    A value can be ok (computed) and yet outside the model (not valid)."""
    status: CodeArray
    validity: CodeArray

    @property
    def validity_reason(self) -> TextArray:
        return reasons(self.validity, Validity)

    @property
    def valid(self) -> BoolArray:
        valid: BoolArray = self.validity == Validity.VALID
        return valid

    @property
    def reason(self) -> TextArray:
        return reasons(self.status)

    @property
    def ok(self) -> BoolArray:
        ok: BoolArray = self.status == Failure.NONE
        return ok


def _horn(aperture_radius: object, slant_radius: object, unit: object) -> tuple[float, float]:
    """The horn's radii in metres."""
    m = metres(unit)
    return (real("aperture_radius", aperture_radius) * m,
            real("slant_radius", slant_radius, allow_inf=True) * m)


def _geometry(f_over_d: object) -> dict[str, Any]:
    """The dish's geometry from the C++ library, refusing a focal ratio it refuses."""
    g: dict[str, Any] = _kelvor.model_dish_geometry(real("f_over_d", f_over_d))
    if g["failure"] != Failure.NONE:
        raise ValueError(f"f_over_d is not a focal ratio the dish geometry takes "
                         f"({Failure(g['failure']).describe()}), got {f_over_d!r}")
    return g


def dish_half_angle_deg(f_over_d: float) -> float:
    """The half-angle theta0 (degrees) a paraboloid's rim subtends at its focus,
    2 atan(1 / (4 f/D))."""
    return float(_geometry(f_over_d)["half_angle_deg"])


def space_attenuation_db(f_over_d: float) -> float:
    """20 log10((1 + cos theta0) / 2) (dB, negative): the longer path from the
    focus to the rim of the dish than to its vertex."""
    return float(_geometry(f_over_d)["space_attenuation_db"])


def feed_level_db(f_over_d: float, edge_illumination_db: float) -> float:
    """The level (dB below the axis, positive) the feed's pattern must have at the
    dish edge for the edge illumination ``edge_illumination_db`` (negative, dB
    relative to the vertex): the request less the space attenuation."""
    _geometry(f_over_d)
    edge = real("edge_illumination_db", edge_illumination_db, positive=False)
    level: dict[str, Any] = _kelvor.model_feed_level(float(f_over_d), edge)
    if level["failure"] == Failure.INVALID_INPUT:
        raise ValueError(f"edge_illumination_db must be negative (dB below the vertex's "
                         f"level), got {edge_illumination_db!r}")
    if level["failure"] != Failure.NONE:
        raise ValueError(f"edge_illumination_db: the space attenuation "
                         f"{space_attenuation_db(f_over_d):.2f} dB alone is below "
                         f"{edge_illumination_db!r} dB")
    return float(level["level_db"])


@dataclass(frozen=True)
class PatternResult:
    """A pattern cut: ``field`` complex, normalised to magnitude 1 on the axis,
    its phase referenced to the axial point ``phase_reference`` (``unit``) from
    the aperture plane toward the apex; ``level_db`` relative to the axis
    (-inf at a null and at 180 degrees); ``phase_deg`` in -180..180. The cut
    has one ``status``, ``reason`` and ``ok``."""
    aperture_radius: float
    slant_radius: float
    freq_ghz: float
    theta_deg: Float64Array
    field: npt.NDArray[np.complex128]
    level_db: Float64Array
    phase_deg: Float64Array
    phase_reference: float
    unit: Unit
    status: Failure
    validity: Validity

    @property
    def reason(self) -> str:
        return self.status.describe()

    @property
    def ok(self) -> bool:
        return self.status == Failure.NONE

    @property
    def validity_reason(self) -> str:
        return self.validity.describe()

    @property
    def valid(self) -> bool:
        return self.validity == Validity.VALID


@renamed(aperture="aperture_radius", slant="slant_radius")
def pattern(aperture_radius: float, slant_radius: float, freq_ghz: float, theta_deg: Values, *,
            unit: Unit = "in", phase_reference: float = 0.0) -> PatternResult:
    """The far field of the horn at the angles ``theta_deg`` off its axis.

    Parameters
    ----------
    aperture_radius, slant_radius : float
        Aperture and slant radius in ``unit``; ``slant_radius`` may be ``inf``
        (S = 0).
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
    a, r = _horn(aperture_radius, slant_radius, unit)
    freq = real("freq_ghz", freq_ghz)
    theta = array64("theta_deg", theta_deg, at_least=-math.inf)
    ref = real("phase_reference", phase_reference, positive=False)
    re, im, code = _kelvor.model_pattern(a, r, freq, theta, ref * metres(unit))
    field: npt.NDArray[np.complex128] = re + 1j * im
    with np.errstate(divide="ignore"):
        level: Float64Array = 20 * np.log10(np.abs(field))
    return PatternResult(float(aperture_radius), float(slant_radius), freq, theta, field, level,
                         np.degrees(np.angle(field)), ref, unit, Failure(code),
                         Validity(int(_kelvor.model_validity(a, r, freq))))


@dataclass(frozen=True)
class BeamwidthResult(_Status):
    """Full beamwidths (degrees) at ``level_db`` below the axis; NaN where
    there is none, with its ``status`` and ``reason``."""
    aperture_radius: float
    slant_radius: float
    freq_ghz: Float64Array
    level_db: float
    beamwidth_deg: Float64Array
    status: CodeArray
    validity: CodeArray
    unit: Unit


@renamed(aperture="aperture_radius", slant="slant_radius")
def beamwidth(aperture_radius: float, slant_radius: float, freq_ghz: Values, *,
              level_db: float = 10.0, unit: Unit = "in") -> BeamwidthResult:
    """The full angle (degrees) at which the horn's pattern first falls to
    ``-level_db`` dB relative to its axis, at each frequency (GHz).

    Found by a scan from the axis and TOMS 748 to 1e-9 relative. The obliquity
    factor takes every pattern to zero at 180 degrees, so a finite level is
    always reached; a width may exceed 180 degrees for a small aperture.
    """
    a, r = _horn(aperture_radius, slant_radius, unit)
    f = array64("freq_ghz", freq_ghz)
    level = real("level_db", level_db)
    bw, codes = _kelvor.model_beamwidth(a, r, f, level)
    return BeamwidthResult(float(aperture_radius), float(slant_radius), f, level, bw, codes,
                           _kelvor.model_validity(a, r, f), unit)


@dataclass(frozen=True)
class DesignResult(_Status):
    """Model-true designs, one per phase deviation: radii in ``unit``.
    ``real_cone`` is False where the slant radius is shorter than the aperture
    radius (no such cone exists); ``reason`` says why a row is NaN."""
    freq_ghz: float
    beamwidth_deg: float
    level_db: float
    phase_deviation: Float64Array
    aperture_radius: Float64Array
    slant_radius: Float64Array
    aperture_radius_wavelengths: Float64Array
    real_cone: BoolArray
    status: CodeArray
    validity: CodeArray
    unit: Unit


def design(freq_ghz: float, beamwidth_deg: float, phase_deviation: Values, *,
           level_db: float = 10.0, unit: Unit = "in") -> DesignResult:
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
    m = metres(unit)
    freq, bw = real("freq_ghz", freq_ghz), real("beamwidth_deg", beamwidth_deg)
    level = real("level_db", level_db)
    s = array64("phase_deviation", phase_deviation, strict=False)
    a, r, awl, cone, codes = _kelvor.model_design(freq, bw, level, s)
    return DesignResult(freq, bw, level, s, a / m, r / m, awl, cone.astype(bool), codes,
                        _kelvor.model_validity(a, r, freq), unit)


def design_for_edge(freq_ghz: float, f_over_d: float, phase_deviation: Values, *,
                    edge_illumination_db: float, unit: Unit = "in") -> DesignResult:
    """The horn that illuminates the edge of a dish of focal ratio ``f_over_d``
    at ``edge_illumination_db`` (negative, dB relative to the vertex) at
    ``freq_ghz``, for each phase deviation: ``design`` at the dish's full edge
    angle and the feed level the edge illumination needs (both from the C++
    library), which the result's ``beamwidth_deg`` and ``level_db`` hold."""
    m = metres(unit)
    freq = real("freq_ghz", freq_ghz)
    level = feed_level_db(f_over_d, edge_illumination_db)
    s = array64("phase_deviation", phase_deviation, strict=False)
    d: dict[str, Any] = _kelvor.model_design_for_edge(freq, float(f_over_d),
                                                      float(edge_illumination_db), s)
    return DesignResult(freq, 2 * dish_half_angle_deg(f_over_d), level, s,
                        d["aperture_radius_m"] / m, d["slant_radius_m"] / m,
                        d["aperture_radius_wavelengths"], d["real_cone"].astype(bool),
                        d["failure"], d["validity"], unit)


@dataclass(frozen=True)
class PhaseCentreResult(_Status):
    """Phase centres (``unit``) from the aperture plane toward the apex."""
    aperture_radius: float
    slant_radius: float
    freq_ghz: Float64Array
    half_angle_deg: float
    axis_to_edge: Float64Array
    fitted: Float64Array
    status: CodeArray
    validity: CodeArray
    unit: Unit


@renamed(aperture="aperture_radius", slant="slant_radius")
def phase_centre(aperture_radius: float, slant_radius: float, freq_ghz: Values,
                 half_angle_deg: float, *, unit: Unit = "in") -> PhaseCentreResult:
    """The phase centre of the horn over 0..``half_angle_deg`` (for a feed, the
    dish edge), both ways.

    ``axis_to_edge`` is the classic definition (the phase change from the axis
    to the edge equals that of a point source); ``fitted`` the least-squares fit
    of the phase to phi0 - k d cos(theta), weighted by the power in each ring,
    |F|^2 sin(theta). Both are distances from the aperture plane toward the apex
    (positive inside the horn).
    """
    m = metres(unit)
    a, r = _horn(aperture_radius, slant_radius, unit)
    f = array64("freq_ghz", freq_ghz)
    edge = real("half_angle_deg", half_angle_deg)
    classic, fitted, codes = _kelvor.model_phase_centre(a, r, f, edge)
    return PhaseCentreResult(float(aperture_radius), float(slant_radius), f, edge, classic / m,
                             fitted / m, codes, _kelvor.model_validity(a, r, f), unit)


@dataclass(frozen=True)
class DishResult(_Status):
    """The horn on a prime-focus paraboloid at each frequency.

    Efficiencies are fractions; ``aperture_efficiency`` = spillover *
    illumination * phase * polarisation (Silver). ``polarisation`` is 1: the
    balanced hybrid mode has no cross-polar field. ``feed_position`` is the
    focus's distance (``unit``) from the horn's aperture plane toward its apex.
    ``feed_edge_level_db`` is the horn's pattern at the dish edge (relative to
    its axis), ``space_attenuation_db`` = 20 log10((1 + cos theta0)/2), and
    ``edge_illumination_db`` their sum (relative to the vertex)."""
    aperture_radius: float
    slant_radius: float
    freq_ghz: Float64Array
    f_over_d: float
    half_angle_deg: float
    spillover: Float64Array
    illumination: Float64Array
    phase: Float64Array
    polarisation: Float64Array
    aperture_efficiency: Float64Array
    feed_position: Float64Array
    feed_edge_level_db: Float64Array
    space_attenuation_db: Float64Array
    edge_illumination_db: Float64Array
    status: CodeArray
    validity: CodeArray
    optimum_on_bound: BoolArray
    unit: Unit


@renamed(aperture="aperture_radius", slant="slant_radius")
def dish(aperture_radius: float, slant_radius: float, freq_ghz: Values, *, f_over_d: float,
         feed_position: Optional[float] = None, unit: Unit = "in") -> DishResult:
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
    m = metres(unit)
    a, r = _horn(aperture_radius, slant_radius, unit)
    f = array64("freq_ghz", freq_ghz)
    fd = real("f_over_d", f_over_d)
    pos = None if feed_position is None else \
        real("feed_position", feed_position, positive=False) * m
    d: dict[str, Any] = _kelvor.model_dish(a, r, f, fd, pos)
    return DishResult(float(aperture_radius), float(slant_radius), f, fd,
                      dish_half_angle_deg(fd), d["spillover"], d["illumination"], d["phase"],
                      d["polarisation"], d["aperture_efficiency"], d["feed_position_m"] / m,
                      d["feed_edge_level_db"], d["space_attenuation_db"],
                      d["edge_illumination_db"], d["failure"], d["validity"],
                      d["optimum_on_bound"].astype(bool), unit)


@dataclass(frozen=True)
class DishDesignResult(_Status):
    """The best horn of each phase deviation for a dish, and ``best``: the index
    of the highest efficiency among the rows that are real cones within the
    model (None when there is none); ``optimum_on_bound`` marks a row whose
    radius search ended on its widened bound. Radii and the
    feed position (one for every frequency, from the aperture plane toward the
    apex) in ``unit``; ``aperture_efficiency`` the lowest over the frequencies."""
    f_over_d: float
    freq_ghz: Float64Array
    reference_freq_ghz: float
    phase_deviation: Float64Array
    aperture_radius: Float64Array
    slant_radius: Float64Array
    feed_position: Float64Array
    aperture_efficiency: Float64Array
    real_cone: BoolArray
    status: CodeArray
    validity: CodeArray
    optimum_on_bound: BoolArray
    best: Optional[int]
    unit: Unit


#: The phase deviations ``design_for_dish`` tries by default, 0 to 0.6 by 0.025.
DISH_PHASE_DEVIATIONS: Float64Array = np.round(np.arange(0.0, 0.625, 0.025), 3)


def design_for_dish(f_over_d: float, freq_ghz: Values, *,
                    phase_deviation: Values = DISH_PHASE_DEVIATIONS,
                    reference_freq_ghz: Optional[float] = None,
                    unit: Unit = "in") -> DishDesignResult:
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
    m = metres(unit)
    fd = real("f_over_d", f_over_d)
    f = array64("freq_ghz", freq_ghz)
    ref = None if reference_freq_ghz is None else real("reference_freq_ghz", reference_freq_ghz)
    s = array64("phase_deviation", phase_deviation, strict=False)
    d: dict[str, Any] = _kelvor.model_design_for_dish(fd, f, ref, s)
    return DishDesignResult(fd, f, float(d["reference_freq_ghz"]), s, d["aperture_radius_m"] / m,
                            d["slant_radius_m"] / m, d["feed_position_m"] / m,
                            d["aperture_efficiency"], d["real_cone"].astype(bool), d["failure"],
                            d["validity"], d["optimum_on_bound"].astype(bool), d["best"], unit)
