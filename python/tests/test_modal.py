"""The mode-matching engine from Python and from the command line."""

from __future__ import annotations

import csv
from pathlib import Path

import numpy as np
import pytest

from kelvor import asbuilt, modal, modal_plot
from kelvor.__main__ import main

HORN = Path(__file__).parents[2] / "docs" / "sixty_slot_horn.csv"
STEP = [(20.0, 10.0), (30.0, 15.0)]


def test_example_horn_from_its_file_gives_the_engines_values():
    # The README's C++ example over 9..12 GHz (the same top frequency, so the same modes).
    r = modal.analyse(modal.read_sections(HORN), [9, 10, 12])
    assert np.round(r.s11_db, 2).tolist() == [-10.27, -44.72, -25.29]
    assert np.round(r.xpol_peak_db, 2).tolist() == [-35.40, -36.05, -37.70]
    assert np.round(r.directivity_dbi, 2).tolist() == [19.52, 20.50, 22.13]
    assert np.round(r.hybrid_purity, 3).tolist() == [0.981, 0.977, 0.970]
    assert r.co_db.shape == r.cross_db.shape == (3, 3, 91) and r.phi_deg.tolist() == [0, 45, 90]
    assert np.nanmax(r.co_db, axis=(1, 2)).tolist() == [0, 0, 0] and r.theta_deg[-1] == 90
    # Ludwig 3: no cross-polar field in the principal planes; the 45-degree cut's peak, sampled
    # every degree, is the engine's cross-polar peak.
    assert np.all(r.cross_db[:, [0, 2]] == -np.inf) and np.all(r.co_db[:, :, 0] == 0)
    assert np.allclose(r.cross_db[:, 1].max(axis=1), r.xpol_peak_db, rtol=0, atol=0.05)
    assert modal.synthesise is asbuilt.synthesise and modal.optimise is asbuilt.optimise


def test_uniform_guide_outputs_and_cut_off():
    radiate = modal.analyse([(20, 10), (30, 10)], [5, 12])
    matched = modal.analyse([(20, 10), (30, 10)], [5, 12], output="matched")
    assert radiate.status.tolist() == [modal.Failure.INPUT_BELOW_CUTOFF, modal.Failure.NONE]
    assert radiate.ok.tolist() == [False, True] and np.isnan(radiate.s11_db[0])
    assert radiate.reason[0] == "input waveguide below the TE11 cut-off"
    assert radiate.s11_db[1] < -200 and matched.s11_db[1] < -200
    # The aperture's reflection is neglected: radiate's S11 is the matched horn's.
    step = modal.analyse(STEP, [10, 11]), modal.analyse(STEP, [10, 11], output="matched")
    assert np.array_equal(step[0].s11_db, step[1].s11_db) and step[0].s11_db[0] > -40
    assert np.all(np.isfinite(step[0].xpol_peak_db)) and np.all(np.isnan(step[1].xpol_peak_db))
    assert step[1].co_db.shape == (2, 0, 0) and step[1].theta_deg.size == 0
    assert step[0].tm11_over_te11_db[0] == 20 * np.log10(abs(step[0].tm11_over_te11[0]))


def test_band_chunks_units_and_modes_agree():
    # Wide enough that the mode counts follow the band's top frequency: chunks must share them.
    f, wide = np.linspace(9, 15, 40), np.array(STEP) * 5
    up, down = modal.analyse(wide, f), modal.analyse(wide, f[::-1])
    assert not np.array_equal(up.s11_db[:1], modal.analyse(wide, f[0]).s11_db)
    assert np.array_equal(up.s11_db, down.s11_db[::-1])
    assert np.array_equal(up.xpol_peak_db, down.xpol_peak_db[::-1])
    cm = modal.analyse(np.array(STEP) / 10, [12, 14], unit="cm")
    mm = modal.analyse(STEP, [12, 14])
    assert np.allclose(cm.s11_db, mm.s11_db, rtol=1e-9, atol=0)
    assert np.allclose(cm.phase_centre * 10, mm.phase_centre, rtol=1e-9, atol=0)
    assert np.array_equal(cm.sections * 10, mm.sections)
    assert modal.analyse(STEP, 12, modes=10 ** 6).status[0] == modal.Failure.TOO_MUCH_WORK
    assert modal.analyse(STEP, 12, modes=1).s11_db[0] == pytest.approx(-10.390442, abs=1e-6)
    assert modal.analyse(STEP, 12, mode_scale=1e6).status[0] == modal.Failure.TOO_MUCH_WORK
    # Half as many modes again: the step's null moves by hundredths of a dB toward its limit.
    grown = [modal.analyse(STEP, [10.25, 12], mode_scale=s).s11_db for s in (1, 1.5, 2.25)]
    assert np.round(grown, 2).tolist() == [[-34.34, -10.86], [-34.41, -10.87], [-34.46, -10.88]]


@pytest.mark.parametrize("call, message", [
    (lambda: modal.analyse([(20, -1)], 10), "sections must hold finite lengths and radii > 0"),
    (lambda: modal.analyse([(20, np.nan)], 10), "got radius nan in row 0"),
    (lambda: modal.analyse("20,10", 10), "sections must be an (n, 2) array"),
    (lambda: modal.analyse([(1, 2, 3)], 10), "got shape (1, 3)"),
    (lambda: modal.analyse([["a", "b"]], 10), "got values of type"),
    (lambda: modal.analyse(STEP, -1), "freq_ghz must be finite"),
    (lambda: modal.analyse(STEP, 10, unit="ft"), "unit must be"),
    (lambda: modal.analyse(STEP, 10, modes=True), "modes must be None or a whole number"),
    (lambda: modal.analyse(STEP, 10, modes=0), "modes must be None or a whole number"),
    (lambda: modal.analyse(STEP, 10, mode_scale=0), "mode_scale must be a finite number > 0"),
    (lambda: modal.analyse(STEP, 10, modes=2 ** 31), "modes must be None or a whole number"),
    (lambda: modal.analyse([(0, 10)], 10), "got length 0 in row 0"),
    (lambda: modal.analyse(STEP, 10, xpol_within_deg=181), "at most 180"),
    (lambda: modal.analyse(STEP, 10, output="open"), "output must be"),
    (lambda: modal.analyse(STEP, np.full(21979, 10.0)), "at most 2000000 angles"),
    (lambda: modal.analyse(STEP, np.full(100001, 10.0), output="matched"),
     "a band holds at most 100000 frequencies"),
])
def test_refusals(call, message):
    with pytest.raises(ValueError) as e:
        call()
    assert message in str(e.value)


def read_csv(path: Path) -> list[dict[str, str]]:
    return list(csv.DictReader(line for line in path.open() if not line.startswith("#")))


def test_command_columns_are_the_librarys_values(tmp_path):
    (tmp_path / "step.csv").write_text("# a step\nlength,radius\n2,1\n3,1.5\n")
    argv = ["analyse", "--sections", str(tmp_path / "step.csv"), "--freq", "9:12:1",
            "--unit", "cm", "--csv", str(tmp_path / "out.csv"), "--plot",
            str(tmp_path / "band.svg"), "--pattern-plot", str(tmp_path / "cuts.svg")]
    assert main(argv) == 0
    r = modal.analyse([(2, 1), (3, 1.5)], [9, 10, 11, 12], unit="cm")
    rows = read_csv(tmp_path / "out.csv")
    for column, values in [("freq_ghz", r.freq_ghz), ("s11_db", r.s11_db),
                           ("s11_deg", r.s11_deg), ("xpol_peak_db", r.xpol_peak_db),
                           ("directivity_dbi", r.directivity_dbi),
                           ("phase_centre_cm", r.phase_centre),
                           ("tm11_over_te11_db", r.tm11_over_te11_db),
                           ("hybrid_purity", r.hybrid_purity)]:
        assert [float(row[column]) for row in rows] == values.tolist(), column
    assert [row["reason"] for row in rows] == ["none"] * 4
    assert (tmp_path / "band.svg").stat().st_size > 0 < (tmp_path / "cuts.svg").stat().st_size
    assert main(["analyse", "--freq", "10"]) == 2
    assert main(["analyse", "--sections", str(tmp_path / "step.csv")]) == 2


@pytest.mark.parametrize("file, argv, message", [
    ("length\n20\n", [], "--sections: {f}: the header needs the columns length and radius, "
                         "and radius is missing."),
    ("length,radius\n20,10\n30,-2\n", [], "--sections: {f} must hold finite lengths and radii "
                                          "> 0 (in mm), got radius -2.0 in line 3."),
    ("length,radius\n20,1o\n", [], "--sections: {f}: line 2: radius '1o' is not a number."),
    ("length,radius\n20,10,1\n", [], "--sections: {f}: line 2 has 3 cells under 2 columns."),
    ("length,radius\n", [], "--sections: {f}: no sections below the header."),
    ("length,radius\n20,10\n", ["--freq", "5,10"], "--freq: no answer at 5 GHz: input waveguide "
                                                   "below the TE11 cut-off of the 10 mm input "
                                                   "guide."),
    ("length,radius\n20,10\n", ["--freq", "10x"], "--freq: '10x' is not a number."),
    # The engine's bounds on electrical size, naming the section at fault (1000 km).
    ("length,radius\n20,10\n1e9,10\n", [], "--sections: no answer at 10 GHz: "
     "invalid input: section 2 is longer than a million wavelengths."),
    ("length,radius\n20,10\n10,30000\n", [], "--sections: no answer at 10 GHz: too many modes "
                                             "times sections."),
    # A figure's name is refused before any work.
    ("length,radius\n20,10\n", ["--freq", "5", "--plot", "b.txt"], "--plot: a figure file"),
    ("length,radius\n20,10\n", ["--freq", "5", "--pattern-plot", "c"], "--pattern-plot: a fig"),
    ("length,radius\n20,10\n", ["--xpol-within", "200"], "--xpol-within: must be at most 180"),
    ("length,radius\n20,10\n", ["--output", "matched", "--pattern-plot", "p.svg"],
     "--pattern-plot: a matched output has no far field to draw."),
])
def test_command_refuses_bad_input(file, argv, message, tmp_path, capsys):
    sections = tmp_path / "in.csv"
    sections.write_text(file)
    freq = [] if "--freq" in argv else ["--freq", "10"]
    argv = ["analyse", "--sections", str(sections), "--csv", str(tmp_path / "out.csv"),
            "--plot", str(tmp_path / "band.svg"), *argv, *freq]
    assert main(argv) == 2
    err = capsys.readouterr().err
    assert message.format(f=sections) in err and err.count("\n") == 1
    assert sorted(p.name for p in tmp_path.iterdir()) == ["in.csv"]


def test_figures_leave_gaps():
    r = modal.analyse(STEP, [5, 10, 11])
    band = modal_plot.band(r)
    line = band.get_lines()
    assert np.isnan(line[0].get_ydata()[0]) and line[1].get_ydata()[2] == r.xpol_peak_db[2]
    assert [x.get_text() for x in band.get_legend().get_texts()] == [
        "S11", "peak cross-polar (45° plane)"]
    assert modal_plot.band(r, title="T").get_title() == "T" != band.get_title()
    assert (band.get_xlabel(), band.get_ylabel()) == ("frequency (GHz)", "level (dB)")
    assert band.figure.get_size_inches().tolist() == [8, 4]
    assert band.xaxis.get_gridlines()[0].get_visible()
    assert modal_plot.cuts(r, floor_db=0).get_lines()[0].get_ydata()[0] == 0
    ax = modal_plot.cuts(r, floor_db=-30)
    cuts = ax.get_lines()
    assert [c.get_label() for c in cuts[1:4]] == ["cross, E plane", "co, 45° plane",
                                                 "cross, 45° plane"]
    assert (ax.get_xlabel(), ax.get_ylabel(), ax.get_ylim()) == (
        "angle off axis θ (deg)", "level (dB rel. co-polar peak)", (-30, 3))
    assert modal_plot.band(r, ax=ax) is ax and len(ax.get_lines()) == 8
    assert len(cuts) == 6 and np.nanmin(np.concatenate([c.get_ydata() for c in cuts])) >= -30
    assert np.array_equal(cuts[2].get_ydata(), np.where(r.co_db[1, 1] >= -30, r.co_db[1, 1],
                                                        np.nan), equal_nan=True)
    with pytest.raises(ValueError):
        modal_plot.cuts(modal.analyse(STEP, 10, output="matched"))
