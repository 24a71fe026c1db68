"""Figures of KELVOR results (matplotlib). Each function takes a result of
kelvor.design, kelvor.response or kelvor.pattern and returns the Figure."""

from matplotlib.figure import Figure

from . import NOMINAL_LEVELS

_UNIT_NAMES = {"in": "in", "cm": "cm"}


def _figure(rows=2):
    fig = Figure(figsize=(7, 2.6 * rows + 0.6), layout="constrained")
    axes = fig.subplots(rows, 1, sharex=True)
    for ax in axes:
        ax.grid(True, alpha=0.4)
    return fig, axes


def pattern(result, title=None):
    """Level (dB, relative to the axis) and phase (degrees) against angle, with
    the four beamwidth levels marked."""
    fig, (level, phase) = _figure()
    level.plot(result.theta_deg, result.level_db, color="C0")
    for i, db in enumerate(NOMINAL_LEVELS):
        level.axhline(-db, color=f"C{i + 1}", linestyle="--", linewidth=0.8,
                      label=f"-{db:g} dB")
    level.set_ylabel("level (dB rel. axis)")
    level.set_ylim(max(-60.0, float(result.level_db.min()) - 3), 3)
    level.legend(loc="upper right", fontsize="small", title="beamwidth levels")
    phase.plot(result.theta_deg, result.phase_deg, color="C0")
    phase.set_ylabel("phase (deg)")
    phase.set_xlabel("angle off axis θ (deg)")
    fig.suptitle(title or "Far-field pattern")
    return fig


def design(result, title=None):
    """Aperture and slant radius, gain and phase centre against phase deviation."""
    fig, (lengths, gain) = _figure()
    unit = _UNIT_NAMES[result.unit]
    s = result.phase_deviation
    lengths.plot(s, result.aperture_radius, marker="o", label="aperture radius")
    lengths.plot(s, result.slant_radius, marker="s", label="slant radius")
    lengths.plot(s, result.phase_centre, marker="^", label="phase centre")
    lengths.set_ylabel(f"length ({unit})")
    lengths.legend(fontsize="small")
    gain.plot(s, result.gain_db, marker="o", color="C3")
    gain.set_ylabel("gain (dBi)")
    gain.set_xlabel("aperture phase deviation S (cycles)")
    fig.suptitle(title or "Horn design")
    return fig


def response(result, title=None):
    """Beamwidths at the four column levels, gain and phase centre against
    frequency."""
    fig, (beam, gain) = _figure()
    f = result.freq_ghz
    for j, db in enumerate(result.levels_db):
        beam.plot(f, result.beamwidth_deg[:, j], marker=".", label=f"{db:g} dB")
    beam.set_ylabel("beamwidth (deg)")
    beam.legend(fontsize="small", title="level")
    gain.plot(f, result.gain_db, marker=".", color="C3", label="gain (dBi)")
    gain.set_ylabel("gain (dBi)")
    centre = gain.twinx()
    centre.plot(f, result.phase_centre, marker=".", color="C4")
    centre.set_ylabel(f"phase centre ({_UNIT_NAMES[result.unit]})", color="C4")
    gain.set_xlabel("frequency (GHz)")
    fig.suptitle(title or "Frequency response")
    return fig
