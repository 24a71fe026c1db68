"""Figures of the model-true path: the dish efficiencies against frequency, and
the feed pattern with the dish edge marked and the edge illumination written
beside it. Each takes ``ax=`` (new axes through pyplot otherwise) and returns the
axes; each title names the horn (a, R, S) and, on the dish, the feed position.
Values with no answer are NaN, which matplotlib leaves as gaps: they are never
drawn as data. Legends and notes sit outside the plotting area, so that no
curve hides behind them."""

from __future__ import annotations

import math
from typing import Optional

import matplotlib.pyplot as plt  # type: ignore[import]
import numpy as np
from matplotlib.axes import Axes  # type: ignore[import]

from ._checks import METRES, real
from .model import DishResult, PatternResult, dish_half_angle_deg, space_attenuation_db

__all__ = ["efficiencies", "pattern_on_dish"]

_SPEED_OF_LIGHT = 299792458.0
# Legends and notes: beside the axes, on the right.
_OUTSIDE = {"loc": "upper left", "bbox_to_anchor": (1.02, 1.0), "borderaxespad": 0.0}


def _axes(ax: Optional[Axes]) -> Axes:
    if ax is not None:
        return ax
    _, ax = plt.subplots(figsize=(8, 4), layout="constrained")
    return ax


def _horn(aperture: float, slant: float, freq_ghz: float, unit: str) -> str:
    """a, R and the phase deviation S = a^2 / (2 lambda R) at freq_ghz."""
    wavelength = _SPEED_OF_LIGHT / (freq_ghz * 1e9) / METRES[unit]
    s = aperture ** 2 / (2 * wavelength * slant)
    return f"a = {aperture:g} {unit}, R = {slant:g} {unit}, S = {s:.3f} at {freq_ghz:g} GHz"


def _position(position: float, unit: str) -> str:
    return "feed at its optimum" if math.isnan(position) else \
        f"feed {position:.4g} {unit} inside the aperture"


def efficiencies(result: DishResult, *, ax: Optional[Axes] = None,
                 title: Optional[str] = None) -> Axes:
    """Aperture efficiency and its factors (percent) against frequency (GHz)."""
    ax = _axes(ax)
    f = result.freq_ghz
    marker = "." if f.size < 40 else None
    ax.plot(f, 100 * result.aperture_efficiency, color="C0", linewidth=2, marker=marker,
            label="aperture")
    for i, (name, values) in enumerate((("spillover", result.spillover),
                                         ("illumination", result.illumination),
                                         ("phase", result.phase)), start=1):
        ax.plot(f, 100 * values, color=f"C{i}", marker=marker, label=name)
    ax.set_xlabel("frequency (GHz)")
    ax.set_ylabel("efficiency (%)")
    ax.grid(True, alpha=0.4)
    ax.legend(fontsize="small", **_OUTSIDE)
    middle = f.size // 2
    positions = result.feed_position[np.isfinite(result.feed_position)]
    where = (f"feed {positions.min():.4g} to {positions.max():.4g} {result.unit} inside the "
             f"aperture" if positions.size else _position(math.nan, result.unit))
    horn = _horn(result.aperture_radius, result.slant_radius, f[middle], result.unit)
    ax.set_title(title or f"f/D = {result.f_over_d:g} dish (edge {result.half_angle_deg:.2f}°); "
                          f"polarisation efficiency 1\n{horn}\n{where}", fontsize="medium")
    return ax


def pattern_on_dish(result: PatternResult, f_over_d: float, *,
                    edge_level_db: Optional[float] = None, feed_position: Optional[float] = None,
                    ax: Optional[Axes] = None, title: Optional[str] = None,
                    floor_db: float = -60.0) -> Axes:
    """The feed's level (dB relative to its axis) against angle, the dish edge
    theta0 marked and the edge illumination (feed level plus space attenuation)
    written beside the axes. ``edge_level_db`` is the feed's level at theta0
    (for instance ``dish(...).feed_edge_level_db``); by default it is
    interpolated between the pattern's samples. Levels below ``floor_db``
    (nulls) are gaps; an edge below the floor is marked on the floor (a
    downward triangle) with its true level in the note. ``feed_position``
    (``result.unit``) goes in the title."""
    ax = _axes(ax)
    floor = real("floor_db", floor_db, positive=False)
    theta0 = dish_half_angle_deg(f_over_d)
    level = np.where(result.level_db >= floor, result.level_db, np.nan)
    ax.plot(result.theta_deg, level, color="C0", label="feed pattern")
    ax.axvline(theta0, color="C3", linestyle="--", linewidth=1, label="dish edge")
    edge = float(np.interp(theta0, result.theta_deg, result.level_db)) if edge_level_db is None \
        else float(edge_level_db)
    space = space_attenuation_db(f_over_d)
    note = f"θ0 = {theta0:.2f}°"
    if not math.isnan(edge):
        below = edge < floor
        ax.plot([theta0], [max(edge, floor)], "v" if below else "o", color="C3", clip_on=False,
                label="edge below the floor" if below else "feed level at the edge")
        note += (f"\nfeed {edge:.2f} dB\nspace {space:.2f} dB\n"
                 f"edge illumination {edge + space:.2f} dB")
    ax.set_xlabel("angle off axis θ (deg)")
    ax.set_ylabel("level (dB rel. axis)")
    ax.set_ylim(floor, 3)
    ax.grid(True, alpha=0.4)
    ax.legend(fontsize="small", **_OUTSIDE)
    ax.text(1.02, 0.0, note, transform=ax.transAxes, fontsize="small", va="bottom",
            bbox={"boxstyle": "round", "facecolor": "white"})
    position = math.nan if feed_position is None else float(feed_position)
    horn = _horn(result.aperture_radius, result.slant_radius, result.freq_ghz, result.unit)
    ax.set_title(title or f"Feed pattern on an f/D = {f_over_d:g} dish\n{horn}\n"
                          f"{_position(position, result.unit)}", fontsize="medium")
    return ax
