"""Figures of KELVOR results (matplotlib).

Each helper takes a result of ``kelvor.design``, ``kelvor.response`` or
``kelvor.pattern`` and draws it on two axes, one above the other: the pair
given as ``ax=``, or a new pyplot figure (so that it shows in a notebook and
with ``plt.show()``). It returns the two axes, so that several results can be
drawn on the same ones:

    top, bottom = kelvor.plot.pattern(kelvor.pattern(a, r, 9, theta))
    kelvor.plot.pattern(kelvor.pattern(a, r, 11, theta), ax=(top, bottom))

A value the table marks as missing (a level the pattern never falls to) is a gap
in its line, never a point.
"""

from __future__ import annotations

from typing import Optional, Sequence, Tuple

import matplotlib.pyplot as plt  # type: ignore[import]
import numpy as np
from matplotlib.axes import Axes  # type: ignore[import]

from . import _kelvor
from ._checks import Float64Array, from_table, table_unit
from .tables import NOMINAL_LEVELS, DesignResult, PatternResult, ResponseResult
from .tables import pattern as _pattern
from .tables import response as _response

__all__ = ["design", "response", "pattern", "pattern_phase"]

AxesPair = Tuple[Axes, Axes]
# Marks the beamwidth-level lines of a pattern's level axes, drawn once per axes.
_LEVEL_LINE = "kelvor-beamwidth-level"


def _axes(ax: Optional[Sequence[Axes]]) -> AxesPair:
    """The caller's two axes, or two new ones on a pyplot figure."""
    if ax is not None:
        if len(ax) != 2:
            raise ValueError(f"ax must be two Axes (upper, lower), got {len(ax)}")
        return ax[0], ax[1]
    fig, (upper, lower) = plt.subplots(2, 1, sharex=True, figsize=(7, 5.8),
                                       layout="constrained")
    for a in (upper, lower):
        a.grid(True, alpha=0.4)
    return upper, lower


def _horn(aperture: float, slant: float, unit: str) -> str:
    return f"the {aperture:g} {unit} × {slant:g} {unit} horn (aperture × slant radius)"


def _title(ax: Axes, horn: str, what: str) -> None:
    """Title the axes with the horn and what is drawn; on axes already titled
    for another frequency, the horn alone."""
    old = ax.get_title()
    if old and old != f"{horn}, {what}" and old.startswith(horn):
        ax.set_title(horn)
    elif not old or not old.startswith(horn):
        ax.set_title(f"{horn}, {what}")


def pattern_phase(result: PatternResult, *,
                  reference: Optional[float] = None) -> Float64Array:
    """The pattern's phase unwrapped and referred to a point on the axis.

    Parameters
    ----------
    result : PatternResult
    reference : float, optional
        The reference point's distance from the aperture plane toward the apex,
        in the result's unit. By default the horn's phase centre at the
        result's frequency (the response table's, fitted over the 10 dB beam).

    Returns
    -------
    ndarray of float64
        Degrees, 0 on the axis: the far-field phase of the horn seen from the
        reference point. Near the axis it is flat when the reference is the
        phase centre; a point source at distance d toward the apex would give
        +360 (d / lambda)(1 - cos theta) seen from the aperture plane.
    """
    unit = result.unit
    if reference is None:
        reference = float(_response(result.aperture_radius, result.slant_radius,
                                    result.freq_ghz, unit=unit).phase_centre[0])
    axis = _pattern(result.aperture_radius, result.slant_radius, result.freq_ghz, 0.0,
                    unit=unit, obliquity=result.obliquity).phase_deg[0]
    wavelength = from_table(np.array([_kelvor.wavelength(result.freq_ghz, table_unit(unit))],
                                     dtype=np.float32), unit)[0]
    unwrapped = np.degrees(np.unwrap(np.radians(np.append(axis, result.phase_deg))))
    seen_from_aperture = unwrapped[1:] - unwrapped[0]
    geometric = 360.0 * reference / wavelength * (1 - np.cos(np.radians(result.theta_deg)))
    phase: Float64Array = seen_from_aperture - geometric
    return phase


def pattern(result: PatternResult, *, ax: Optional[Sequence[Axes]] = None,
            reference: Optional[float] = None) -> AxesPair:
    """Level (dB relative to the axis) and phase (degrees) against angle.

    The upper axes carry the level and the four nominal beamwidth levels, the
    lower the phase unwrapped and referred to the phase centre, or to the point
    ``reference`` (distance from the aperture plane toward the apex, in the
    result's unit); see ``pattern_phase``. Each line is labelled with its
    frequency.
    """
    level, phase = _axes(ax)
    label = f"{result.freq_ghz:g} GHz"
    horn = _horn(result.aperture_radius, result.slant_radius, result.unit)
    shared = any(line.get_gid() == _LEVEL_LINE for line in level.lines)
    # Down to 3 dB below the cut (at most 60 dB) and never above the lowest
    # beamwidth level, whose line would otherwise be cut off.
    bottom = min(max(-60.0, float(np.min(result.level_db)) - 3), -max(NOMINAL_LEVELS) - 3)
    if shared:
        bottom = min(bottom, level.get_ylim()[0])
    level.plot(result.theta_deg, result.level_db, label=label)
    if not shared:
        for i, db in enumerate(NOMINAL_LEVELS):
            level.axhline(-db, color=f"C{i + 6}", linestyle="--", linewidth=0.8,
                          label=f"-{db:g} dB", gid=_LEVEL_LINE)
    level.set_ylim(bottom, 3)
    level.set_ylabel("level (dB rel. axis)")
    level.legend(loc="upper right", fontsize="small")
    where = "phase centre" if reference is None else f"{reference:g} {result.unit} behind aperture"
    phase.plot(result.theta_deg, pattern_phase(result, reference=reference), label=label)
    phase.set_ylabel(f"phase (deg, from {where})")
    phase.set_xlabel("angle off axis θ (deg)")
    phase.legend(loc="best", fontsize="small")
    _title(level, f"Pattern of {horn}", label)
    return level, phase


def design(result: DesignResult, *, ax: Optional[Sequence[Axes]] = None) -> AxesPair:
    """Aperture and slant radius and phase centre (upper), gain (lower) against
    the aperture phase deviation."""
    lengths, gain = _axes(ax)
    s = result.phase_deviation
    unit = result.unit
    lengths.plot(s, result.aperture_radius, marker="o", label="aperture radius")
    lengths.plot(s, result.slant_radius, marker="s", label="slant radius")
    lengths.plot(s, result.phase_centre, marker="^", label="phase centre (behind aperture)")
    lengths.set_ylabel(f"length ({unit})")
    lengths.legend(fontsize="small")
    gain.plot(s, result.gain_db, marker="o", color="C3", label="gain")
    gain.set_ylabel("gain (dBi)")
    gain.set_xlabel("maximum aperture phase deviation S (cycles)")
    gain.legend(fontsize="small")
    lengths.set_title(f"Horns for a {result.beamwidth_deg:g}° beam at {result.level_db:g} dB, "
                      f"{result.freq_ghz:g} GHz")
    return lengths, gain


def response(result: ResponseResult, *, ax: Optional[Sequence[Axes]] = None) -> AxesPair:
    """Beamwidths at the four column levels (upper), gain and phase centre
    (lower, phase centre on a second scale) against frequency. Levels the
    pattern never falls to are gaps."""
    beam, gain = _axes(ax)
    f = result.freq_ghz
    widths = np.where(result.level_missed, np.nan, result.beamwidth_deg)
    for j, db in enumerate(result.levels_db):
        beam.plot(f, widths[:, j], marker=".", label=f"{db:g} dB")
    beam.set_ylabel("full beamwidth (deg)")
    beam.legend(fontsize="small", title="level below axis")
    lines = gain.plot(f, result.gain_db, marker=".", color="C3", label="gain (dBi)")
    gain.set_ylabel("gain (dBi)")
    gain.set_xlabel("frequency (GHz)")
    centre = gain.twinx()
    # The phase centre is fitted over the 10 dB beam: none where that level is missed.
    ten_db = list(NOMINAL_LEVELS).index(10.0)
    fitted = np.where(result.level_missed[:, ten_db], np.nan, result.phase_centre)
    lines += centre.plot(f, fitted, marker=".", color="C4",
                         label=f"phase centre ({result.unit}, behind aperture)")
    centre.set_ylabel(f"phase centre ({result.unit})", color="C4")
    gain.legend(handles=lines, fontsize="small")
    beam.set_title(f"Response of {_horn(result.aperture_radius, result.slant_radius, result.unit)}")
    return beam, gain
