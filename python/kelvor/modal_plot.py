"""Figures of the mode-matching analysis: S11 and the peak cross-polar level
against frequency, and the co- and cross-polar pattern cuts at one frequency.
Each takes ``ax=`` (new axes through pyplot otherwise) and returns the axes; a
value with no answer (NaN) is a gap in its line, never a point, and a level
below ``floor_db`` (a null) is a gap too. Legends sit outside the plotting
area, so that no curve hides behind them."""

from __future__ import annotations

from typing import Optional

import matplotlib.pyplot as plt  # type: ignore[import]
import numpy as np
from matplotlib.axes import Axes  # type: ignore[import]

from ._checks import real
from .modal import AnalysisResult

__all__ = ["band", "cuts"]

_OUTSIDE = {"loc": "upper left", "bbox_to_anchor": (1.02, 1.0), "borderaxespad": 0.0}
_PLANES = {0.0: "E plane", 45.0: "45° plane", 90.0: "H plane"}


def _axes(ax: Optional[Axes]) -> Axes:
    if ax is not None:
        return ax
    _, ax = plt.subplots(figsize=(8, 4), layout="constrained")
    ax.grid(True, alpha=0.4)
    return ax


def _horn(result: AnalysisResult) -> str:
    s = result.sections
    return (f"{len(s)} sections, input radius {s[0, 1]:.4g} {result.unit}, aperture radius "
            f"{s[-1, 1]:.4g} {result.unit}, length {s[:, 0].sum():.4g} {result.unit}")


def band(result: AnalysisResult, *, ax: Optional[Axes] = None,
         title: Optional[str] = None) -> Axes:
    """S11 (dB) and, where the aperture radiates, the peak cross-polar level of
    the 45-degree plane (dB relative to the co-polar peak) against frequency
    (GHz)."""
    ax = _axes(ax)
    f = result.freq_ghz
    marker = "." if f.size < 40 else None
    ax.plot(f, result.s11_db, color="C0", marker=marker, label="S11")
    if np.any(np.isfinite(result.xpol_peak_db)):
        ax.plot(f, result.xpol_peak_db, color="C3", marker=marker,
                label="peak cross-polar (45° plane)")
    ax.set_xlabel("frequency (GHz)")
    ax.set_ylabel("level (dB)")
    ax.legend(fontsize="small", **_OUTSIDE)
    ax.set_title(title or f"Mode matching, output {result.output}\n{_horn(result)}",
                 fontsize="medium")
    return ax


def cuts(result: AnalysisResult, index: Optional[int] = None, *, ax: Optional[Axes] = None,
         floor_db: float = -60.0, title: Optional[str] = None) -> Axes:
    """The co-polar (solid) and cross-polar (dashed) levels of the E, 45-degree
    and H-plane cuts (dB relative to the co-polar peak) against the angle off
    the axis, at the frequency ``result.freq_ghz[index]`` (by default the
    middle one)."""
    if result.theta_deg.size == 0:
        raise ValueError("result has no pattern cuts (output 'matched')")
    i = result.freq_ghz.size // 2 if index is None else int(index)
    floor = real("floor_db", floor_db, positive=False)
    ax = _axes(ax)
    for k, phi in enumerate(result.phi_deg):
        plane = _PLANES.get(float(phi), f"φ = {phi:g}°")
        for levels, style, kind in ((result.co_db, "-", "co"), (result.cross_db, "--", "cross")):
            shown = np.where(levels[i, k] >= floor, levels[i, k], np.nan)
            ax.plot(result.theta_deg, shown, color=f"C{k}", linestyle=style,
                    label=f"{kind}, {plane}")
    ax.set_xlabel("angle off axis θ (deg)")
    ax.set_ylabel("level (dB rel. co-polar peak)")
    ax.set_ylim(floor, 3)
    ax.legend(fontsize="small", **_OUTSIDE)
    ax.set_title(title or f"Pattern cuts at {result.freq_ghz[i]:g} GHz "
                          f"(peak cross-polar {result.xpol_peak_db[i]:.1f} dB)\n{_horn(result)}",
                 fontsize="medium")
    return ax
