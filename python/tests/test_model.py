"""The model-true path from Python: the engineer's prime-focus case through the
functions and the command line, explicit reasons, and the unit conversions."""

import csv
import io
import os
import subprocess
import sys

import numpy as np
import pytest

from kelvor import model


def test_engineers_case_design_then_dish():
    level = model.feed_level_db(0.4, -12.0)
    assert level == pytest.approx(9.136, abs=1e-3)
    d = model.design(11.7, 2 * model.dish_half_angle_deg(0.4), level, 0.1, unit="cm")
    assert d.aperture_radius[0] == pytest.approx(1.336, abs=5e-4)
    e = model.dish(d.aperture_radius[0], d.slant_radius[0], 11.7, f_over_d=0.4, unit="cm")
    assert e.edge_illumination_db[0] == pytest.approx(-12.0, abs=0.02)
    assert e.aperture_efficiency[0] == pytest.approx(
        e.spillover[0] * e.illumination[0] * e.phase[0] * e.polarisation[0], rel=1e-12)
    inches = model.dish(d.aperture_radius[0] / 2.54, d.slant_radius[0] / 2.54, 11.7, f_over_d=0.4)
    assert inches.feed_position[0] * 2.54 == pytest.approx(e.feed_position[0], rel=1e-6)


def test_reasons_not_numbers():
    d = model.design(10, 170, 3, [0.1, 2.5])
    assert np.isnan(d.aperture_radius).all() and not d.ok.any()
    assert list(d.reason) == ["no main-lobe solution", "phase deviation outside 0 to 2 cycles"]
    assert not model.design(10, 120, 10, 0.5).real_cone[0]
    with pytest.raises(ValueError):
        model.dish(1, 3, 11, f_over_d=0.4, unit="furlong")


def test_dish_command_csv():
    env = dict(os.environ)
    out = subprocess.run([sys.executable, "-m", "kelvor", "dish", "--aperture", "1.3363",
                          "--slant", "3.4846", "--unit", "cm", "--f-over-d", "0.4",
                          "--freq", "10.7,11.7,12.75"], capture_output=True, text=True, env=env)
    assert out.returncode == 0, out.stderr
    rows = list(csv.DictReader(io.StringIO(out.stdout)))
    assert len(rows) == 3 and rows[1]["reason"] == "none"
    assert float(rows[1]["edge_illumination_db"]) == pytest.approx(-12.0, abs=0.02)
    bad = subprocess.run([sys.executable, "-m", "kelvor", "dish", "--aperture", "-1", "--slant",
                          "3", "--f-over-d", "0.4", "--freq", "11"], capture_output=True, text=True)
    assert bad.returncode == 2 and "error" in bad.stderr
