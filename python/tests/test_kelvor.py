"""The Python module against the dialogue's own reports, the pattern against the
beamwidth rules, every rejected argument, and the command line."""

import math
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

import numpy as np
import pytest

import kelvor

CASES = Path(os.environ.get("KELVOR_CASES", Path(__file__).parents[2] / "tests" / "cases"))


def fw(v, w, d):
    """Fixed-point editing Fw.d of one float32 value, as the reports show it."""
    if math.isinf(v):
        return ("Infinity" if v > 0 else "-Infinity").rjust(w)
    text = f"{float(v):{w}.{d}f}"
    return "*" * w if len(text) > w else text


def design_lines(r):
    return [fw(s, 6, 3) + " " * 6 + fw(a, 8, 4) + " " * 7 + fw(sl, 8, 4) + " " * 4
            + fw(g, 7, 2) + "  " + fw(p, 7, 3)
            for s, a, sl, g, p in zip(r.phase_deviation, r.aperture_radius, r.slant_radius,
                                      r.gain_db, r.phase_centre)]


def response_lines(r):
    return [" " + fw(f, 8, 4) + "".join("  " + fw(b, 6, 1) for b in bw) + "  " + fw(g, 7, 2)
            + "  " + fw(p, 7, 3)
            for f, bw, g, p in zip(r.freq_ghz, r.beamwidth_deg, r.gain_db, r.phase_centre)]


# (case, request): the request's rows, F-edited as the layouts edit them, are a
# block of consecutive records of that case's report.
REPORTED = [
    ("inches_example", lambda: design_lines(kelvor.design(10, 30, 0.1))),
    ("inches_example",
     lambda: response_lines(kelvor.response(2.6118, 28.8985, kelvor.sweep(9, 11, 1)))),
    ("centimetres_example", lambda: design_lines(kelvor.design(10, 30, [0.1], unit="cm"))),
    ("centimetres_example", lambda: response_lines(
        kelvor.response(6.6341, 73.4023, kelvor.sweep(9, 11, 1), unit="cm"))),
    ("level_not_nominal", lambda: design_lines(kelvor.design(10, 30, 0.1, level_db=8, level_index=3))),
    ("level_not_nominal", lambda: response_lines(
        kelvor.response(2.6118, 28.8985, 10, level_db=8, level_index=3))),
    ("phase_deviation_ranges",
     lambda: design_lines(kelvor.design(10, 30, kelvor.sweep(0, 1, 0.1)))),
    ("phase_deviation_ranges",
     lambda: design_lines(kelvor.design(10, 30, kelvor.sweep(0, 0.55, 0.2)))),
    ("several_requests", lambda: design_lines(kelvor.design(12, 20, kelvor.sweep(0, 0.1, 0.1), level_db=3))),
    ("level_missed",
     lambda: response_lines(kelvor.response(0.5, 10, kelvor.sweep(2, 3, 1), level_db=20))),
    ("long_answers_and_repeats", lambda: design_lines(kelvor.design(10, 10, 0.1))),
]


@pytest.mark.parametrize("case,lines", REPORTED)
def test_rows_are_the_reported_rows(case, lines):
    records = (CASES / case / "report").read_bytes().decode().split("\r\n")
    block = lines()
    assert block
    assert any(records[i:i + len(block)] == block for i in range(len(records))), block


def edge_width(p, db):
    """Full width (degrees) where the pattern first falls to -db."""
    i = int(np.argmax(p.level_db < -db))
    t0, t1, l0, l1 = p.theta_deg[i - 1], p.theta_deg[i], p.level_db[i - 1], p.level_db[i]
    return 2 * (t0 + (t1 - t0) * (-db - l0) / (l1 - l0))


# The tables' obliquity correction takes the main lobe as Gaussian; it holds to
# 1 % for beams up to about 20 degrees at 10 dB (the 20 dB width of wider beams
# drifts off: 1.6 % at 30 degrees, 8 % at 60, near S = 0.25).
@pytest.mark.parametrize("s", [0.0, 0.1, 0.2, 0.25, 0.3, 0.4, 0.5, 0.6])
@pytest.mark.parametrize("freq,beamwidth,unit", [(10, 12, "in"), (10, 20, "cm"), (4, 16, "in")])
def test_pattern_widths_are_the_table_beamwidths(s, freq, beamwidth, unit):
    d = kelvor.design(freq, beamwidth, s, unit=unit)
    a, slant = d.aperture_radius[0], d.slant_radius[0]
    table = kelvor.response(a, slant, freq, unit=unit).beamwidth_deg[0]
    cut = kelvor.pattern(a, slant, freq, np.arange(0, 45, 0.02), unit=unit)
    assert cut.level_db[0] == 0
    widths = [edge_width(cut, db) for db in kelvor.NOMINAL_LEVELS]
    np.testing.assert_allclose(widths, table, rtol=0.01)


def same(a, b):
    return all(np.array_equal(x, y) for x, y in zip(vars(a).values(), vars(b).values()))


def test_results_are_exact_float64_and_defaults_hold():
    assert kelvor.sweep(0, 0.55, 0.2).tolist() == pytest.approx([0, 0.2, 0.4, 0.6])
    assert kelvor.sweep(1, 0, 0.1).size == 0
    r = kelvor.response(2.6118, np.inf, [9, 10])
    assert r.beamwidth_deg.shape == (2, 4) and r.gain_db.dtype == np.float64
    assert np.array_equal(r.gain_db.astype(np.float32), r.gain_db)
    # The defaults: level 10 dB, obliquity on; mm are cm times ten exactly.
    assert same(r, kelvor.response(2.6118, np.inf, [9, 10], level_db=10))
    assert kelvor.response(2.6118, 28.8985, 10, level_db=8, level_index=1).status.tolist() == [0]
    cut = kelvor.pattern(2.6118, 28.8985, 10, 40)
    assert same(cut, kelvor.pattern(2.6118, 28.8985, 10, 40, obliquity=True))
    assert cut.level_db != kelvor.pattern(2.6118, 28.8985, 10, 40, obliquity=False).level_db
    cm = kelvor.design(10, 150, [0.1, 0.2], level_db=3, unit="cm")
    mm = kelvor.design(10, 150, [0.1, 0.2], level_db=3, unit="mm")
    assert np.array_equal(mm.phase_centre, cm.phase_centre * 10)
    assert mm.real_cone.tolist() == [True, False]
    # Metres are centimetres over 100; a value under 1 is taken.
    m = kelvor.response(0.066341, 0.734023, [9, 10], unit="m")
    cm = kelvor.response(6.6341, 73.4023, [9, 10], unit="cm")
    assert np.array_equal(m.beamwidth_deg, cm.beamwidth_deg)
    assert kelvor.design(0.5, 30, 0.1).status.tolist() == [0]


NAN, INF = float("nan"), float("inf")
BAD = [
    ("freq_ghz", lambda: kelvor.design(0, 30, 0.1)),
    ("freq_ghz", lambda: kelvor.design(NAN, 30, 0.1)),
    ("freq_ghz", lambda: kelvor.design("10", 30, 0.1)),
    ("beamwidth_deg", lambda: kelvor.design(10, -30, 0.1)),
    ("level_db", lambda: kelvor.design(10, 30, 0.1, level_db=INF)),
    ("level_index", lambda: kelvor.design(10, 30, 0.1, level_db=8)),
    ("level_index", lambda: kelvor.design(10, 30, 0.1, level_db=8, level_index=5)),
    ("level_index", lambda: kelvor.design(10, 30, 0.1, level_db=8, level_index=True)),
    ("level_index", lambda: kelvor.design(10, 30, 0.1, level_index=1)),
    ("level_index", lambda: kelvor.design(10, 30, 0.1, level_index=2)),
    ("unit", lambda: kelvor.design(10, 30, 0.1, unit="ft")),
    ("phase_deviation", lambda: kelvor.design(10, 30, -0.1)),
    ("phase_deviation", lambda: kelvor.design(10, 30, [0.1, NAN])),
    ("phase_deviation", lambda: kelvor.design(10, 30, [[0.1]])),
    ("phase_deviation", lambda: kelvor.design(10, 30, ["0.1"])),
    ("aperture_radius", lambda: kelvor.response(0, 28.9, 10)),
    ("aperture_radius", lambda: kelvor.response(1e-50, 28.9, 10, unit="mm")),
    ("slant_radius", lambda: kelvor.response(2.6, NAN, 10)),
    ("freq_ghz", lambda: kelvor.response(2.6, 28.9, [10, -1])),
    ("freq_ghz", lambda: kelvor.response(2.6, 28.9, np.ones((2, 2)))),
    ("freq_ghz", lambda: kelvor.response(2.6, 28.9, "10")),
    ("level_index", lambda: kelvor.response(2.6, 28.9, 10, level_db=8, level_index=0)),
    ("aperture_radius", lambda: kelvor.pattern(-2.6, 28.9, 10, 0)),
    ("theta_deg", lambda: kelvor.pattern(2.6, 28.9, 10, [0, INF])),
    ("unit", lambda: kelvor.pattern(2.6, 28.9, 10, 0, unit=None)),
    ("obliquity", lambda: kelvor.pattern(2.6, 28.9, 10, 0, obliquity="no")),
    ("step", lambda: kelvor.sweep(0, 1, 0)),
    ("finite numbers", lambda: kelvor.sweep(0, 1, INF)),   # not the single row [nan]
    ("1000000000", lambda: kelvor.sweep(0, 1e9, 1e-3)),
    ("2000000001 rows, more than the 100000000", lambda: kelvor.sweep(0, 2e9, 1)),
]


@pytest.mark.parametrize("name,call", BAD)
def test_bad_input_is_a_value_error_naming_the_argument(name, call):
    with pytest.raises(ValueError, match=name):
        call()


def interrupted(child):
    """Control-C 0.3 s after the child prints "go": when it was sent, the child's output and
    error, and its status."""
    # A shell's background job ignores SIGINT, and Python keeps what it inherits: the child
    # starts with the default disposition, as at a terminal.
    p = subprocess.Popen([sys.executable, "-c", child], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, text=True,
                         preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
    assert p.stdout.readline() == "go\n"
    time.sleep(0.3)
    sent = time.monotonic()
    p.send_signal(signal.SIGINT)
    out, err = p.communicate(timeout=60)
    return sent, out, err, p.returncode


def test_control_c_ends_a_five_second_call_within_a_second_and_a_command_with_130():
    sent, out, _, _ = interrupted("import sys, time, kelvor\n"
                                  "s = kelvor.sweep(0.01, 0.6, 1e-7)\n"
                                  "print('go', flush=True)\n"
                                  "try:\n    kelvor.design(10, 30, s)\n"
                                  "except KeyboardInterrupt:\n    print(time.monotonic())\n")
    # The whole call takes about 5 s; the limit allows a loaded machine.
    assert float(out) - sent < 1.0
    horn = Path(__file__).resolve().parents[2] / "docs" / "sixty_slot_horn.csv"
    _, _, err, status = interrupted(
        "import sys\nfrom kelvor.__main__ import main\nprint('go', flush=True)\n"
        f"sys.exit(main(['analyse', '--sections', {str(horn)!r}, '--freq', '9:12:0.001']))\n")
    assert status == 130 and err.endswith("interrupted.\n")


def test_figures_are_drawn_by_their_artists_on_the_given_axes():
    import matplotlib.pyplot as plt
    r = kelvor.response(0.5, 10, kelvor.sweep(2, 30, 1), level_db=20)
    beam, gain = kelvor.plot.response(r)
    assert beam.figure.number in plt.get_fignums() and beam.get_legend() and gain.get_legend()
    widths = np.array([line.get_ydata() for line in beam.lines])
    assert np.array_equal(np.isnan(widths), r.level_missed.T) and np.all(widths[~np.isnan(widths)] > 0)
    fig, axes = plt.subplots(2)
    axes[0].plot([0, 60], [-1, -1])  # the caller's own line: the beamwidth levels are still drawn
    for freq in (9, 11):
        kelvor.plot.pattern(kelvor.pattern(2.6118, 28.8985, freq, kelvor.sweep(0, 60, 1)), ax=axes)
    level, phase = axes
    assert [line.get_label() for line in phase.lines] == ["9 GHz", "11 GHz"]
    assert [line.get_label() for line in level.lines if "dB" in line.get_label()] == [
        f"-{db:g} dB" for db in kelvor.NOMINAL_LEVELS]
    # Down to 3 dB below the deeper cut (11 GHz: -53.15 dB); titled with the horn alone.
    assert level.get_ylim() == pytest.approx((-56.15271, 3), abs=1e-5)
    deep = kelvor.pattern(2.6118, 28.8985, 11, kelvor.sweep(0, 90, 1))   # down to -63.67 dB
    shown = kelvor.plot.pattern(deep)[0]
    assert shown.get_ylim() == (-60, 3) and np.array_equal(shown.lines[0].get_ydata(), deep.level_db)
    assert level.get_title() == ("Pattern of the 2.6118 in × 28.8985 in horn "
                                 "(aperture × slant radius)")
    assert phase.get_ylabel() == "phase (deg, from phase centre)"
    # Another horn on these axes is titled with its own frequency.
    kelvor.plot.pattern(kelvor.pattern(3, 28.8985, 9, kelvor.sweep(0, 60, 1)), ax=axes)
    title = level.get_title()
    assert title.startswith("Pattern of the 3 in") and title.endswith("9 GHz")
    assert level.get_ylim()[0] == pytest.approx(-56.15271, abs=1e-5)  # its own reaches -56.12
    # Unwrapped and referred to the phase centre, fitted over the 10 dB beam: 0 on the axis, within
    # 1.3 degrees over that beam (1.0 at 9 GHz), no jumps.
    y = phase.lines[0].get_ydata()
    assert y[0] == 0 and np.all(np.abs(np.diff(y)) < 90)
    assert np.all(np.abs(y[level.lines[1].get_ydata() > -10]) < 1.3)  # after the caller's line
    d = kelvor.design(10, 30, kelvor.sweep(0, 0.6, 0.1), unit="cm")
    a, b = kelvor.plot.design(d)
    assert all(ax.get_ylabel() for ax in (a, b)) and b.get_xlabel() and "10 GHz" in a.get_title()
    assert [t.get_text() for t in a.get_legend().get_texts()][1] == "slant radius"
    assert np.array_equal(b.lines[0].get_ydata(), d.gain_db)
    assert [ax.get_ylabel() for ax in kelvor.plot.response(r)] == ["full beamwidth (deg)",
                                                                    "gain (dBi)"]
    plt.close("all")
