"""The horn as built, analysed by mode matching: a body of revolution given as
uniform sections (length, radius), from the input waveguide to the aperture,
excited by TE11 in the input guide.

``analyse`` gives per frequency S11 (dB and degrees), the mode content at the
aperture (the TM11/TE11 balance and the purity of the balanced hybrid mode)
and, when the aperture radiates, its far field: the peak cross-polar level of
the 45-degree plane, the directivity, the phase centre and the co- and
cross-polar cuts (Ludwig 3) in the E, 45-degree and H planes. The engine is
the C++ library ``kelvor::modal``; its method, mode counts and measured
accuracy are in its headers and in bench/README.md.

Conventions: lengths in ``unit`` (default "mm"), frequencies in GHz, angles in
degrees, levels in dB. A frequency with no answer has NaN values, ``ok`` False
and its ``reason``; ``status`` holds the ``Failure`` codes.

    from kelvor import modal
    r = modal.analyse([(20, 10.5), (5.5, 18), (2, 10.5), (10, 25)], [9, 10, 11])
    print(r.s11_db, r.xpol_peak_db)

``synthesise`` and ``optimise`` (of ``kelvor.asbuilt``) build the sections of a
corrugated horn from a band and a beam.
"""

from __future__ import annotations

import csv
import math
import os
from dataclasses import dataclass
from enum import IntEnum
from typing import Literal, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

from . import _kelvor
from ._checks import Float64Array, Unit, Values, array64, metres, number
from ._checks import sections as _sections
from .asbuilt import CorrugatedHorn, Optimised, optimise, synthesise

__all__ = ["Failure", "AnalysisResult", "analyse", "profile_problem", "read_sections", "OUTPUTS",
           "synthesise", "optimise", "CorrugatedHorn", "Optimised"]

_FAILURES: list[str] = list(_kelvor.modal_failure_names())

#: How the last section ends: its aperture radiates, or it continues as a
#: matched guide (a component's S11 alone, no far field).
OUTPUTS = ("radiate", "matched")
Output = Literal["radiate", "matched"]
Sections = Union[Sequence[Sequence[float]], npt.NDArray[np.float64]]


class Failure(IntEnum):
    """Why a frequency has no answer: ``NONE`` when it has one. ``describe()``
    gives the text a result's ``reason`` holds."""
    NONE = _FAILURES.index("none")
    INVALID_INPUT = _FAILURES.index("invalid input")
    INPUT_BELOW_CUTOFF = _FAILURES.index("input waveguide below the TE11 cut-off")
    TOO_MUCH_WORK = _FAILURES.index("too many modes times sections")
    NOT_CONVERGED = _FAILURES.index("not converged")

    def describe(self) -> str:
        return _FAILURES[self]


@dataclass(frozen=True)
class AnalysisResult:
    """The analysis at each frequency of ``freq_ghz`` (n values).

    ``s11_db``, ``s11_deg``: the reflected over the incident TE11 wave at the
    start of the input guide (its length is part of the phase).
    ``xpol_peak_db``: the peak cross-polar level of the 45-degree plane over
    0..xpol_within_deg, relative to the co-polar peak. ``directivity_dbi``.
    ``phase_centre``: in ``unit``, from the aperture plane toward the apex
    (positive inside the horn), fitted to the 45-degree co-polar phase.
    ``tm11_over_te11``: the ratio of the power-normalised forward TM11 and
    TE11 amplitudes at the aperture (complex; |.|^2 about 0.18 for the
    balanced hybrid mode). ``hybrid_purity``: the fraction of the aperture's
    field in the balanced HE11 field (1 for a pure one).
    ``co_db``, ``cross_db``: n x 3 x m levels relative to the largest co-polar
    level of the frequency's three cuts, at the azimuths ``phi_deg`` (0: E
    plane, 45, 90: H plane) and the angles ``theta_deg`` (m values, 0 to 90).
    Without a far field (``output="matched"``) the radiation values are NaN
    and, when no frequency radiates, the cuts are empty (m = 0)."""
    sections: Float64Array
    unit: Unit
    output: Output
    freq_ghz: Float64Array
    s11_db: Float64Array
    s11_deg: Float64Array
    xpol_peak_db: Float64Array
    directivity_dbi: Float64Array
    phase_centre: Float64Array
    tm11_over_te11: npt.NDArray[np.complex128]
    hybrid_purity: Float64Array
    theta_deg: Float64Array
    phi_deg: Float64Array
    co_db: Float64Array
    cross_db: Float64Array
    status: npt.NDArray[np.int_]

    @property
    def tm11_over_te11_db(self) -> Float64Array:
        """20 log10 |tm11_over_te11|: the TM11 to TE11 power ratio in dB."""
        with np.errstate(divide="ignore"):
            ratio: Float64Array = 20 * np.log10(np.abs(self.tm11_over_te11))
        return ratio

    @property
    def reason(self) -> npt.NDArray[np.object_]:
        return np.array([Failure(int(c)).describe() for c in self.status], dtype=object)

    @property
    def ok(self) -> npt.NDArray[np.bool_]:
        ok: npt.NDArray[np.bool_] = self.status == Failure.NONE
        return ok


def _modes(modes: object) -> int:
    """The widest section's mode count, 0 for the engine's own rule."""
    if modes is None:
        return 0
    if isinstance(modes, bool) or not isinstance(modes, (int, np.integer)) \
            or not 1 <= modes < 2 ** 31:
        raise ValueError(f"modes must be None or a whole number >= 1, got {modes!r}")
    return int(modes)


_OPTIONS = _kelvor.AnalysisOptions()   # the engine's own defaults


def analyse(sections: Sections, freq_ghz: Values, *, unit: Unit = "mm",
            modes: Optional[int] = None, mode_scale: float = _OPTIONS.mode_scale,
            xpol_within_deg: float = _OPTIONS.xpol_within_deg,
            output: Output = "radiate") -> AnalysisResult:
    """The horn of ``sections`` analysed by mode matching at each frequency.

    Parameters
    ----------
    sections : (n, 2) array or sequence of (length, radius) pairs
        Uniform sections in ``unit``, the input waveguide first and the
        aperture last: a slot is a section of radius a + d and the slot's width,
        a tooth one of radius a and the tooth's width.
    freq_ghz : float or 1-D array
        Frequencies, GHz: at most 100,000, and radiating at most 21,978 (their
        results are held at once); more raise ValueError before any work.
    unit : {"mm", "cm", "m", "in"}
    modes : int, optional
        The TE1n and TM1n modes of the widest section (the others get counts in
        proportion to their radius); None for the engine's rule, chosen by its
        measured convergence.
    mode_scale : float
        Multiplies every mode count (the engine's rule or ``modes``): 1.5
        checks a result's convergence with half as many modes again.
    xpol_within_deg : float
        The cross-polar peak is sought over 0 <= theta <= this (up to 180).
    output : {"radiate", "matched"}
        "radiate": the aperture radiates (its own reflection neglected);
        "matched": the last section continues as a matched guide, and S11 is
        the component's alone, with no far field.

    Notes
    -----
    The engine takes the mode counts at the band's top frequency, so a value
    at f equals ``analyse(sections, f)`` exactly when f is the band's top, and
    within the convergence figures of bench/README.md otherwise. Long bands
    run a chunk at a time with the GIL released; Control-C stops them.
    """
    m = metres(unit)
    profile_m = _sections("sections", sections, unit)
    freq = array64("freq_ghz", freq_ghz)
    within = number("xpol_within_deg", xpol_within_deg)
    scale = number("mode_scale", mode_scale)
    if output not in OUTPUTS:
        raise ValueError(f"output must be 'radiate' or 'matched', got {output!r}")
    d = _kelvor.modal_analyse(profile_m, freq, output == "matched", _modes(modes), scale, within)
    return AnalysisResult(profile_m / m, unit, output, d["freq_ghz"], d["s11_db"],
                          d["s11_deg"], d["xpol_peak_db"], d["directivity_dbi"],
                          d["phase_centre_m"] / m, d["tm11_over_te11"], d["hybrid_purity"],
                          d["theta_deg"], d["phi_deg"], d["co_db"], d["cross_db"],
                          d["failure"])


def profile_problem(sections: Sections, freq_ghz: float, *, unit: Unit = "mm") -> str:
    """Why ``analyse`` answers ``Failure.INVALID_INPUT`` at ``freq_ghz``: a
    sentence naming the first section at fault (counted from 1, the input
    guide) and the bound it breaks, such as a radius over a million
    wavelengths; "" where the sections and frequency are valid."""
    return _kelvor.modal_profile_problem(_sections("sections", sections, unit),
                                         number("freq_ghz", freq_ghz))


def read_sections(path: Union[str, os.PathLike[str]], *, unit: Unit = "mm") -> Float64Array:
    """The sections of a CSV file, as an (n, 2) float64 array of (length,
    radius) in ``unit``, the file's own (give ``analyse`` the same ``unit``).

    The file has the header ``length,radius`` (other columns are ignored)
    and one row per section, the input waveguide first, in ``unit``. Lines
    starting with ``#`` (the request block ``python3 -m kelvor horn
    --sections`` writes) and blank lines are skipped. A missing column, a
    cell that is not a number, a length or radius not > 0, or no rows raise
    ValueError naming the file and its line."""
    metres(unit)
    name = os.fspath(path)
    with open(path, newline="", encoding="utf-8") as stream:
        numbered = [(i, line) for i, line in enumerate(stream, start=1)
                    if line.strip() and not line.lstrip().startswith("#")]
    rows = list(csv.reader(line for _, line in numbered))
    header = [cell.strip() for cell in rows[0]] if rows else []
    missing = [c for c in ("length", "radius") if c not in header]
    if missing:
        raise ValueError(f"{name}: the header needs the columns length and radius, and "
                         f"{' and '.join(missing)} {'is' if len(missing) == 1 else 'are'} "
                         f"missing")
    where = [header.index("length"), header.index("radius")]
    lines = [i for i, _ in numbered[1:]]
    if not lines:
        raise ValueError(f"{name}: no sections below the header")
    values: list[list[float]] = []
    for line, row in zip(lines, rows[1:]):
        if len(row) != len(header):
            raise ValueError(f"{name}: line {line} has {len(row)} cells under "
                             f"{len(header)} columns")
        values.append([_cell(name, line, header[k], row[k]) for k in where])
    _sections(name, values, unit, lines)
    return np.array(values, dtype=np.float64)


def _cell(name: str, line: int, column: str, text: str) -> float:
    try:
        value = float(text)
    except ValueError:
        raise ValueError(f"{name}: line {line}: {column} {text.strip()!r} is not a number") \
            from None
    if math.isnan(value):
        raise ValueError(f"{name}: line {line}: {column} {text.strip()!r} is not a number")
    return value
