"""Figures of the model-true path: the dish efficiencies against frequency, and
the feed pattern with the dish edge marked and the edge illumination written
on it. Each takes ``ax=`` (new axes through pyplot otherwise) and returns the
axes. Values with no answer are NaN, which matplotlib leaves as gaps: they are
never drawn as data."""

from __future__ import annotations

import math
from typing import Optional

import numpy as np

from .model import DishResult, PatternResult, dish_half_angle_deg, space_attenuation_db


def _axes(ax):
    if ax is not None:
        return ax
    import matplotlib.pyplot as plt
    _, ax = plt.subplots(figsize=(7, 4), layout="constrained")
    return ax


def efficiencies(result: DishResult, *, ax=None, title: Optional[str] = None):
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
    ax.legend(fontsize="small", loc="best")
    ax.set_title(title or f"Prime-focus dish, f/D = {result.f_over_d:g} "
                          f"(edge {result.half_angle_deg:.2f}°); polarisation efficiency 1")
    return ax


def pattern_on_dish(result: PatternResult, f_over_d: float, *, edge_level_db: Optional[float] = None,
                    ax=None, title: Optional[str] = None, floor_db: float = -60.0):
    """The feed's level (dB relative to its axis) against angle, the dish edge
    theta0 marked and the edge illumination (feed level plus space attenuation)
    written beside it. ``edge_level_db`` is the feed's level at theta0 (for
    instance ``dish(...).feed_edge_level_db``); by default it is interpolated
    between the pattern's samples. Levels below ``floor_db`` (nulls) are gaps."""
    ax = _axes(ax)
    theta0 = dish_half_angle_deg(f_over_d)
    level = np.where(result.level_db >= floor_db, result.level_db, np.nan)
    ax.plot(result.theta_deg, level, color="C0", label="feed pattern")
    ax.axvline(theta0, color="C3", linestyle="--", linewidth=1, label="dish edge")
    edge = float(np.interp(theta0, result.theta_deg, result.level_db)) if edge_level_db is None \
        else float(edge_level_db)
    space = space_attenuation_db(f_over_d)
    if math.isfinite(edge):
        ax.plot([theta0], [edge], "o", color="C3")
        ax.annotate(f"θ0 = {theta0:.2f}°\nfeed {edge:.2f} dB\nspace {space:.2f} dB\n"
                    f"edge illumination {edge + space:.2f} dB",
                    xy=(theta0, edge), xytext=(10, -10), textcoords="offset points",
                    fontsize="small", va="top",
                    bbox={"boxstyle": "round", "facecolor": "white", "alpha": 0.8})
    ax.set_xlabel("angle off axis θ (deg)")
    ax.set_ylabel("level (dB rel. axis)")
    ax.set_ylim(floor_db, 3)
    ax.grid(True, alpha=0.4)
    ax.legend(fontsize="small", loc="upper right")
    ax.set_title(title or f"Feed pattern on an f/D = {f_over_d:g} dish")
    return ax
