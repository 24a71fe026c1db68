"""The model-true path from Python: the engineer's prime-focus case, explicit
reasons, the unit conversions and the figures."""

import dataclasses

import numpy as np
import pytest

from kelvor import model, model_plot

A, R = 1.3363112776433965, 3.4845799255990695  # cm: the f/D 0.4, -12 dB horn at 11.7 GHz


def test_engineers_case_design_then_dish():
    level = model.feed_level_db(0.4, -12.0)
    assert level == pytest.approx(9.136, abs=1e-3)
    d = model.design(11.7, 2 * model.dish_half_angle_deg(0.4), 0.1, level_db=level, unit="cm")
    assert d.aperture_radius[0] == pytest.approx(1.336, abs=5e-4) and d.ok.all()
    e = model.dish(d.aperture_radius[0], d.slant_radius[0], 11.7, f_over_d=0.4, unit="cm")
    assert e.edge_illumination_db[0] == pytest.approx(-12.0, abs=0.02)
    assert e.aperture_efficiency[0] == pytest.approx(
        e.spillover[0] * e.illumination[0] * e.phase[0] * e.polarisation[0], rel=1e-12)
    # The designed horn's own pattern at the dish edge is the feed level.
    edge = model.pattern(A, R, 11.7, model.dish_half_angle_deg(0.4), unit="cm")
    assert edge.level_db[0] == pytest.approx(-level, abs=1e-6)
    # The phase referred to a point 5 mm inside the horn, given in mm and in cm.
    mm = model.pattern(10 * A, 10 * R, 11.7, [0, 30], unit="mm", phase_reference=5)
    cm = model.pattern(A, R, 11.7, [0, 30], unit="cm", phase_reference=0.5)
    np.testing.assert_allclose(mm.phase_deg, cm.phase_deg, rtol=1e-9)


# Unit factors: the same horn in cm, mm and inches gives the same physics, its
# lengths scaled (a feed position given in cm equals the same given in inches).
def test_units_scale_lengths_only():
    cm = model.dish(A, R, 11.7, f_over_d=0.4, unit="cm")
    mm = model.dish(A * 10, R * 10, 11.7, f_over_d=0.4, unit="mm")
    inch = model.dish(A / 2.54, R / 2.54, 11.7, f_over_d=0.4, unit="in")
    np.testing.assert_allclose([mm.feed_position[0], inch.feed_position[0] * 2.54],
                               [10 * cm.feed_position[0], cm.feed_position[0]], rtol=1e-6)
    at_cm = model.dish(A, R, 11.7, f_over_d=0.4, feed_position=-0.05, unit="cm")
    at_in = model.dish(A / 2.54, R / 2.54, 11.7, f_over_d=0.4, feed_position=-0.05 / 2.54)
    assert at_in.aperture_efficiency[0] == pytest.approx(at_cm.aperture_efficiency[0], rel=1e-9)
    assert at_cm.aperture_efficiency[0] < cm.aperture_efficiency[0]
    d_cm = model.design(11.7, 128, [0.1, 0.2], level_db=9, unit="cm")
    d_mm = model.design(11.7, 128, [0.1, 0.2], level_db=9, unit="mm")
    d_m = model.design(11.7, 128, [0.1, 0.2], level_db=9, unit="m")
    np.testing.assert_allclose([d_mm.slant_radius, 1e3 * d_m.slant_radius],
                               [10 * d_cm.slant_radius] * 2, rtol=1e-12)
    pc = model.phase_centre(A, R, 11.7, 64, unit="cm")
    pc_mm = model.phase_centre(10 * A, 10 * R, 11.7, 64, unit="mm")
    np.testing.assert_allclose([pc_mm.axis_to_edge[0], pc_mm.fitted[0]],
                               [10 * pc.axis_to_edge[0], 10 * pc.fitted[0]], rtol=1e-9)
    assert pc.axis_to_edge[0] != pytest.approx(pc.fitted[0], rel=1e-3)
    g_mm = model.design_for_dish(0.4, 11.7, phase_deviation=[0.1], unit="mm")
    g_m = model.design_for_dish(0.4, 11.7, phase_deviation=[0.1], unit="m")
    np.testing.assert_allclose([g_mm.aperture_radius, g_mm.slant_radius, g_mm.feed_position],
                               [1e3 * g_m.aperture_radius, 1e3 * g_m.slant_radius,
                                1e3 * g_m.feed_position], rtol=1e-12)
    # design_for_edge is design at the dish's edge angle and feed level, S = 0 included.
    e = model.design_for_edge(11.7, 0.4, [0, 0.1], edge_illumination_db=-12, unit="mm")
    d = model.design(11.7, 2 * model.dish_half_angle_deg(0.4), [0, 0.1],
                     level_db=model.feed_level_db(0.4, -12), unit="mm")
    np.testing.assert_allclose(e.aperture_radius, d.aperture_radius, rtol=1e-12)
    assert (e.beamwidth_deg, e.level_db) == (d.beamwidth_deg, d.level_db)
    # A result keeps its own copy of the caller's array.
    f = np.array([11.7])
    b = model.beamwidth(A, R, f, unit="cm")
    f[0] = 1
    assert b.freq_ghz[0] == 11.7
    with pytest.raises(ValueError, match="aperture_radius"):
        model.dish(0, 3, 11, f_over_d=0.4)
    with pytest.raises(ValueError, match="f_over_d"):
        model.feed_level_db(-0.4, -12)
    with pytest.raises(ValueError, match="freq_ghz must be finite and > 0$"):
        model.dish(A, R, [11, 0], f_over_d=0.4)


def test_reasons_and_status():
    d = model.design(10, 170, [0.1, 2.5], level_db=3)
    assert np.isnan(d.aperture_radius).all() and not d.ok.any()
    assert list(d.status) == [model.Failure.NO_MAIN_LOBE_SOLUTION,
                              model.Failure.PHASE_DEVIATION_OUT_OF_RANGE]
    assert list(d.reason) == ["no main-lobe solution", "phase deviation outside 0 to 2 cycles"]
    assert list(model.design(10, 120, [0.5, 0.05]).real_cone) == [False, True]
    band = model.design_for_dish(0.4, [10.7, 12.7], phase_deviation=[0.1])
    assert band.reference_freq_ghz == pytest.approx(11.7)
    assert model.DISH_PHASE_DEVIATIONS.tolist() == [k / 40 for k in range(25)]  # 0 to 0.6


def test_dish_figures_state_the_edge_and_the_horn():
    e = model.dish(A, R, [11.7], f_over_d=0.4, unit="cm")
    p = model.pattern(A, R, 11.7, np.linspace(0, 180, 361), unit="cm")
    assert (p.ok, p.valid, p.validity_reason) == (True, False, e.validity_reason[0])
    assert e.validity[0] == model.Validity.APERTURE_TOO_SMALL and not e.valid[0]
    ax = model_plot.pattern_on_dish(p, 0.4, edge_level_db=e.feed_edge_level_db[0],
                                    feed_position=e.feed_position[0])
    note = ax.texts[-1].get_text()
    assert "edge illumination -12.00 dB" in note and ax.texts[-1].get_position()[0] > 1
    assert "a = 1.33631 cm" in ax.get_title() and "S = 0.100" in ax.get_title()
    low = model_plot.pattern_on_dish(p, 0.4, edge_level_db=-80.0)
    assert low.lines[-1].get_ydata()[0] == -60 and "feed -80.00 dB" in low.texts[-1].get_text()
    assert low.get_ylim() == (-60, 3)
    assert model_plot.pattern_on_dish(p, 0.4, floor_db=0).lines[0].get_ydata()[0] == 0  # on it
    assert [t.get_text() for t in low.get_legend().get_texts()][0] == "feed pattern"
    band = model.dish(A, R, [11, 12], f_over_d=0.4, unit="cm")
    legend = model_plot.efficiencies(band)
    assert legend.get_legend().get_bbox_to_anchor().x0 > legend.bbox.x1
    factors = [band.aperture_efficiency, band.spillover, band.illumination, band.phase]
    assert np.array_equal([line.get_ydata() for line in legend.lines[:4]], 100 * np.array(factors))
    assert legend.get_title().startswith("f/D = 0.4 dish (edge 64.01°)")
    assert "S = 0.103 at 12 GHz\nfeed 0.05953 to 0.07492 cm inside" in legend.get_title()
    failed = dataclasses.replace(band, feed_position=np.full(2, np.nan))
    assert model_plot.efficiencies(failed).get_title().endswith("\nfeed at its optimum")
    assert model_plot.efficiencies(band, title="mine").get_title() == "mine"
