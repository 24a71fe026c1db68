"""The horn as built: a corrugated conical horn synthesised from a band and a
beam by the published design rules (Granet & James, "Design of corrugated
horns: a primer", IEEE AP Magazine 47(2), 2005), optimised by mode matching to
a return-loss and cross-polar target, with its drawing (DXF), its far field
(GRASP cuts) and the dish it feeds.

Conventions: lengths in metres (``unit=`` converts), frequencies in GHz, angles
in degrees, levels in dB. A result without an answer has ``ok`` False and its
``reason``; its arrays are empty.

    from kelvor import asbuilt
    horn = asbuilt.synthesise((10.7, 12.75), aperture=40, slant=200, unit="mm")
    best = asbuilt.optimise(horn, s11_target_db=-30, xpol_target_db=-35)
"""

from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Any, Callable, Optional

import numpy as np
import numpy.typing as npt

from . import _kelvor
from .model import UNITS

__all__ = ["UNITS", "CorrugatedHorn", "Optimised", "synthesise", "optimise", "dish", "dxf",
           "plot_profile"]

_REASONS = tuple(_kelvor.asbuilt_failure_names())
Floats = npt.NDArray[np.float64]
# progress(evaluation, (s11_db, xpol_db), (best_s11_db, best_xpol_db)) -> keep going
Progress = Callable[[int, tuple[float, float], tuple[float, float]], bool]


@dataclass(frozen=True)
class CorrugatedHorn:
    """A corrugated horn. ``sections``: n x 2 (length, radius) in metres, the
    input waveguide first and the aperture last; ``slots``: one row per slot
    (z from the input reference plane, the wall's radius, depth, width);
    ``corrugations``: (inner radius, depth, slot width, tooth width)."""
    band_ghz: tuple[float, float]
    input_radius_m: float
    input_length_m: float
    corrugations: Floats
    sections: Floats
    slots: Floats
    design_freq_ghz: float
    pitch_m: float
    converter_slots: int
    ok: bool
    reason: str


@dataclass(frozen=True)
class Optimised:
    """The optimised horn, the start's and the best figures (worst S11 and
    cross-polar peak over the band, dB), and what it took."""
    horn: CorrugatedHorn
    start_s11_db: float
    start_xpol_db: float
    s11_db: float
    xpol_db: float
    evaluations: int
    seconds: float
    targets_met: bool
    reason: str


def _metres(unit: str) -> float:
    if unit not in UNITS:
        raise ValueError(f"unit must be one of {', '.join(UNITS)}, got {unit!r}")
    return UNITS[unit]


def _horn(band: tuple[float, float], d: dict[str, Any], extra: dict[str, Any]) -> CorrugatedHorn:
    failure = int(d.get("failure", 0))
    return CorrugatedHorn(band, float(d["input_radius_m"]), float(d["input_length_m"]),
                          np.asarray(d["corrugations"]), np.asarray(d["sections"]),
                          np.asarray(d["slots"]), float(extra.get("design_freq_ghz", math.nan)),
                          float(extra.get("pitch_m", math.nan)),
                          int(extra.get("converter_slots", 0)), failure == 0, _REASONS[failure])


def synthesise(band_ghz: tuple[float, float], *, aperture: Optional[float] = None,
               slant: Optional[float] = None, beamwidth_deg: Optional[float] = None,
               level_db: Optional[float] = None, f_over_d: Optional[float] = None,
               edge_taper_db: Optional[float] = None, phase_deviation: float = 0.3,
               unit: str = "m") -> CorrugatedHorn:
    """The corrugated horn for the band, from exactly one of: ``aperture`` and
    ``slant`` (radii in ``unit``); ``beamwidth_deg`` and ``level_db``; or
    ``f_over_d`` and ``edge_taper_db`` (the rim's illumination below the
    vertex, positive dB). The beam and dish entries design the horn on the
    model (kelvor.model.design) at the phase deviation ``phase_deviation``
    (cycles, at the design frequency)."""
    f_min, f_max = (float(f) for f in band_ghz)
    entries = [("cone", aperture, slant), ("beam", beamwidth_deg, level_db),
               ("dish", f_over_d, edge_taper_db)]
    given = [(e, x, y) for e, x, y in entries if x is not None or y is not None]
    if len(given) != 1 or given[0][1] is None or given[0][2] is None:
        raise ValueError("give aperture and slant, beamwidth_deg and level_db, "
                         "or f_over_d and edge_taper_db")
    entry, x, y = given[0]
    scale = _metres(unit) if entry == "cone" else 1.0
    d = _kelvor.asbuilt_synthesise(entry, f_min, f_max, float(x) * scale,  # type: ignore[arg-type]
                                   float(y) * scale, float(phase_deviation),  # type: ignore[arg-type]
                                   _kelvor.SynthesisRules())
    return _horn((f_min, f_max), d, d)


_OPTIONS = _kelvor.OptimiseOptions()   # the optimiser's own defaults


def _check_geometry(horn: CorrugatedHorn) -> None:
    """Refuses a horn the synthesis refused: it has no sections to work on."""
    if not horn.ok:
        raise ValueError(f"horn has no geometry: {horn.reason}")


def check_frequencies(count: int) -> None:
    """Refuses a count of optimiser frequencies outside 1 to the C++ bound."""
    if not 1 <= count <= _kelvor.ASBUILT_MAX_OPTIMISE_FREQUENCIES:
        raise ValueError(f"frequencies must be 1 to {_kelvor.ASBUILT_MAX_OPTIMISE_FREQUENCIES}")


def optimise(horn: CorrugatedHorn, *, s11_target_db: float = _OPTIONS.s11_target_db,
             xpol_target_db: float = _OPTIONS.xpol_target_db,
             frequencies: int = _kelvor.ASBUILT_OPTIMISE_FREQUENCIES,
             vary_widths: bool = _OPTIONS.vary_widths,
             max_evaluations: int = _OPTIONS.max_evaluations,
             max_seconds: float = _OPTIONS.max_seconds,
             progress: Optional[Progress] = None) -> Optimised:
    """The horn with its mode converter's and first flare slots' depths (and,
    with ``vary_widths``, the converter's slot widths) adjusted by COBYLA to
    lower the worst S11 over ``frequencies`` evenly spaced frequencies of the
    band, the cross-polar peak held under ``xpol_target_db``. Never worse than
    the start; stops at the targets, the limits or when ``progress`` returns
    False."""
    _check_geometry(horn)
    check_frequencies(frequencies)
    o = _kelvor.OptimiseOptions()
    o.s11_target_db = float(s11_target_db)
    o.xpol_target_db = float(xpol_target_db)
    o.converter_slots = horn.converter_slots
    o.vary_widths = bool(vary_widths)
    o.max_evaluations = int(max_evaluations)
    o.max_seconds = float(max_seconds)
    freqs = np.asarray(_kelvor.asbuilt_band_frequencies(*horn.band_ghz, frequencies))
    call = None if progress is None else (
        lambda i, f, b: progress(i, (f[0], f[1]), (b[0], b[1])))
    d = _kelvor.asbuilt_optimise(horn.input_radius_m, horn.input_length_m, horn.corrugations,
                                 freqs, o, call)
    extra = {"design_freq_ghz": horn.design_freq_ghz, "pitch_m": horn.pitch_m,
             "converter_slots": horn.converter_slots}
    return Optimised(_horn(horn.band_ghz, {**d, "failure": 0}, extra), d["start"][0],
                     d["start"][1], d["best"][0], d["best"][1], int(d["evaluations"]),
                     float(d["seconds"]), bool(d["targets_met"]), _REASONS[int(d["failure"])])


def dish(horn: CorrugatedHorn, freq_ghz: float, *, f_over_d: float) -> dict[str, Any]:
    """The prime-focus dish of focal ratio ``f_over_d`` fed by the horn's
    mode-matched pattern at ``freq_ghz``, at the feed position of the highest
    aperture efficiency (m behind the aperture plane): Silver's efficiencies
    (fractions) with the polarisation efficiency from the cross-polar power,
    the edge illumination (dB) and the ``failure`` ("none" for an answer)."""
    result: dict[str, Any] = _kelvor.asbuilt_dish(horn.sections, float(freq_ghz), float(f_over_d))
    return result


def dxf(horn: CorrugatedHorn) -> str:
    """The half-section as a closed R12 DXF polyline in millimetres; ValueError
    for a horn the synthesis refused."""
    _check_geometry(horn)
    text: str = _kelvor.asbuilt_dxf(horn.sections)
    return text


def plot_profile(horn: CorrugatedHorn, *, ax: Any = None, unit: str = "mm") -> Any:
    """The half-section drawn to scale (slots visible), z along the axis; the axes."""
    import matplotlib.pyplot as plt  # type: ignore[import]
    if ax is None:
        ax = plt.figure(figsize=(8, 3)).add_subplot()
    s = horn.sections / _metres(unit)
    z = np.concatenate([[0.0], np.cumsum(s[:, 0])])
    ax.fill_between(np.repeat(z, 2)[1:-1], 0, np.repeat(s[:, 1], 2), step=None,
                    color="0.85", linewidth=0)
    ax.plot(np.repeat(z, 2)[1:-1], np.repeat(s[:, 1], 2), color="k", linewidth=0.8)
    ax.set_aspect("equal")
    ax.set_xlabel(f"z ({unit})")
    ax.set_ylabel(f"radius ({unit})")
    return ax
