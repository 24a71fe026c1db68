"""The horn as built from Python and from the command line."""

from __future__ import annotations

import dataclasses

import numpy as np
import pytest

from kelvor import _kelvor, asbuilt
from kelvor.__main__ import main


def horn_command(argv: list[str]) -> int:
    return main(["horn", *argv])


def test_synthesis_and_its_drawing_agree():
    horn = asbuilt.synthesise((10.7, 12.75), aperture=40, slant=200, unit="mm")
    assert horn.ok and horn.converter_slots == 5
    assert horn.sections[-1, 1] == pytest.approx(0.04, abs=1e-15)
    assert np.allclose(horn.slots[:, 3] / horn.pitch_m, 0.8)
    drawn = asbuilt.plot_profile(horn, unit="cm")  # to scale
    wall = drawn.lines[0]   # from z = 0 at the input guide
    assert drawn.get_aspect() == 1
    metal = drawn.collections[0].get_paths()[0].vertices[:, 1]   # filled up to the wall
    assert metal.max() == pytest.approx(100 * horn.sections[:, 1].max())
    assert (wall.get_xdata()[0], wall.get_xdata()[-1], wall.get_ydata()[-1]) == pytest.approx(
        (0, 100 * horn.sections[:, 0].sum(), 4))
    dish = asbuilt.dish(horn, 11.7, f_over_d=1.0)   # the engine's pattern on the dish
    assert dish["aperture_efficiency"] == pytest.approx(0.716538, rel=1e-6)
    big = asbuilt.synthesise((10.7, 12.75), aperture=300, slant=2000, unit="mm")
    assert asbuilt.dish(big, 11.7, f_over_d=1)["failure"].startswith("too much work")
    by_beam = asbuilt.synthesise((10.7, 12.75), beamwidth_deg=60, level_db=12)
    assert by_beam.sections[-1, 1] == pytest.approx(0.0340327090, rel=1e-9)  # at s = 0.3
    refused = asbuilt.synthesise((5, 13), aperture=40, slant=200, unit="mm")
    assert refused.sections.shape == (0, 2) and refused.slots.shape == (0, 4)
    for use in (asbuilt.dxf, asbuilt.optimise):
        with pytest.raises(ValueError, match=f"horn has no geometry: {refused.reason}$"):
            use(refused)
    with pytest.raises(ValueError, match="frequencies must be 1 to 201$"):
        asbuilt.optimise(horn, frequencies=0)
    with pytest.raises(ValueError):
        asbuilt.synthesise((10.7, 12.75), aperture=40, beamwidth_deg=60)


def test_optimise_reports_its_horns_analysis_and_stops_when_asked():
    horn = asbuilt.synthesise((10.7, 12.75), aperture=40, slant=200, unit="mm")
    best: list[tuple[float, float]] = []
    r = asbuilt.optimise(horn, frequencies=1, max_evaluations=5, s11_target_db=-60,
                         progress=lambda i, now, b: best.append(b) or True)
    band = _kelvor.asbuilt_analyse_band(r.horn.sections, [11.725])   # the band's middle
    assert best[-1] == (r.s11_db, r.xpol_db) == (band["s11_db"][0], band["xpol_peak_db"][0])
    assert r.s11_db < r.start_s11_db - 10 and (r.evaluations, r.reason) == (5, "none")
    stopped = asbuilt.optimise(horn, frequencies=1, s11_target_db=-60, progress=lambda *a: False)
    assert (stopped.evaluations, stopped.reason) == (1, "cancelled")
    # The horn's own converter: two slots of it and three of the flare vary, no slot after them.
    two = asbuilt.optimise(dataclasses.replace(horn, converter_slots=2), frequencies=1,
                           max_evaluations=40, s11_target_db=-60, vary_widths=True)
    assert np.array_equal(two.horn.slots[5:], horn.slots[5:]) and two.horn.converter_slots == 2
    assert not np.array_equal(two.horn.slots[:2, 3], horn.slots[:2, 3])  # its widths vary too


def test_command_writes_every_file(tmp_path, capsys):
    files = {f: tmp_path / f"horn.{f}" for f in ("csv", "dxf", "cut", "svg")}
    assert horn_command(["--band", "10.7:12.75", "--aperture", "40", "--slant", "200",
                         "--frequencies", "3", "--sections", str(files["csv"]),
                         "--dxf", str(files["dxf"]), "--cut", str(files["cut"]),
                         "--plot", str(files["svg"]), "--csv", str(tmp_path / "band.csv")]) == 0
    horn = asbuilt.synthesise((10.7, 12.75), aperture=40, slant=200, unit="mm")
    rows = np.loadtxt(files["csv"], delimiter=",", comments="#", skiprows=0, ndmin=2,
                      converters=None, usecols=(0, 1), dtype=str)[1:].astype(float)
    assert np.allclose(rows / 1000, horn.sections, rtol=1e-15)
    assert files["dxf"].read_text() == asbuilt.dxf(horn)
    assert files["cut"].read_text().count(" 3 1 2\n") == 3
    out = (tmp_path / "band.csv").read_text().splitlines()
    assert out[-4] == "freq_ghz,s11_db,xpol_peak_db,directivity_dbi" and len(out[-3:]) == 3
    assert not [line for line in out if line.startswith("# optimised")]
    # The rules' horn meets these targets at its start: one evaluation, said in the request.
    assert horn_command(["--band", "10.7:12.75", "--aperture", "40", "--slant", "200",
                         "--frequencies", "3", "--optimise", "--s11-target", "0"]) == 0
    said = [line for line in capsys.readouterr().out.splitlines() if line.startswith("# optim")]
    assert len(said) == 1 and said[0].startswith("# optimised: 1 evaluations, ")
    assert said[0].endswith(" s, targets met")


@pytest.mark.parametrize("argv, message", [
    (["--band", "12:10", "--aperture", "40", "--slant", "200"], "--band:"),
    (["--band", "12:12", "--aperture", "40", "--slant", "200"], "--band:"),
    (["--band", "0:12", "--aperture", "40", "--slant", "200"], "--band:"),
    (["--band", "10.7", "--aperture", "40", "--slant", "200"], "--band:"),
    (["--band", "10.7:12.75", "--aperture", "40"], "--slant:"),
    (["--band", "10.7:12.75", "--aperture", "40", "--slant", "200", "--beamwidth", "30"],
     "Give --aperture"),
    (["--band", "10.7:12.75", "--aperture", "40", "--slant", "30"], "slant radius"),
    # a horn the rules draw but the engine refuses: no empty rows passed off as an answer
    (["--band", "10.7:12.75", "--aperture", "300", "--slant", "2000"],
     "No answer at 10.7 GHz: too much work."),
    (["--band", "10.7:12.75", "--aperture", "40", "--slant", "200", "--plot", "x.txt"],
     "--plot:"),
    (["--band", "10.7:12.75", "--aperture", "40", "--slant", "200", "--frequencies", "0"],
     "--frequencies: must be 1 to"),
])
def test_command_refuses_bad_input(argv, message, capsys, tmp_path):
    assert horn_command(argv + ["--dxf", str(tmp_path / "never.dxf")]) == 2
    err = capsys.readouterr().err
    assert message in err and err.count("\n") == 1
    assert not list(tmp_path.iterdir())
