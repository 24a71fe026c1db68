// The feed library's own contracts: the crossing's bracket, the solvers' limits, the refusals of
// work beyond the stated limits, the validity flags, the feed-position search and the dish
// geometry, each at its boundary and by a value pinned or computed independently.
#include <boost/math/special_functions/bessel_prime.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include "feed/beamwidth.hpp"
#include "feed/crossing.hpp"
#include "feed/design.hpp"
#include "feed/dish_design.hpp"
#include "feed/phase_centre.hpp"

namespace kelvor::feed {
namespace {

TEST(FeedCrossing, ADipNarrowerThanAStepAndEachFailure) {
  const auto dip = [](double x) { return 1 - 2 * std::exp(-std::pow((x - 0.93) / 0.05, 2)); };
  const auto never = [](double x) { return 1 + x; };
  const SolverLimits one{1e-10, 26, 1};
  const struct {
    std::function<double(double)> f;
    double step;
    SolverLimits limits;
    Fall fall;
  } rows[] = {{dip, 0.25, {}, {0.93 - 0.05 * std::sqrt(std::log(2.0)), Failure::none}},
              {never, 0.25, {}, {kNaN, Failure::level_not_reached}},
              {dip, 0.25, one, {kNaN, Failure::not_converged}},
              {dip, 0, {}, {kNaN, Failure::invalid_input}},
              {dip, 3.0 / 65537, {}, {kNaN, Failure::too_much_work}}};
  for (const auto &r : rows) {
    const Fall fall = first_fall(r.f, 0, 3, r.step, r.limits);
    EXPECT_EQ(fall.failure, r.fall.failure) << r.step;
    if (r.fall.failure == Failure::none) {
      EXPECT_NEAR(fall.x, r.fall.x, 1e-9);
    }
  }
  EXPECT_EQ(design_horn(10, 30, 10, 0.1, one).failure, Failure::not_converged);
  // The bracket closes to root_rel_tol relative to the root, at any scale of x.
  for (const double s : {1e-4, 1e4}) {
    const auto scaled = [&](double x) { return dip(x / s); };
    EXPECT_NEAR(first_fall(scaled, 0, 3 * s, 0.25 * s).x / s, rows[0].fall.x, 1e-9) << s;
  }
}

// The phase referred to the classic phase centre is the same on the axis and at the edge; the
// fitted centre is the power-weighted fit on a fine uniform grid, computed here independently.
TEST(FeedPhaseCentre, ClassicFlattensTheEdgeAndTheFitMatchesAFineGrid) {
  const double f = 11.7, edge = 64 * kDegree;
  for (const Horn horn : {Horn{0.05, 0.3}, Horn{0.03, 0.1}, Horn{0.02, kInfinity}}) {
    const HornPattern p(horn, f);
    const PhaseCentre pc = phase_centre(p, edge);
    const double d = pc.axis_to_edge_m;
    EXPECT_NEAR(std::arg(p.field(edge, d) * std::conj(p.field(0, d))), 0, 1e-9);
    double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, phase = 0;
    std::complex<double> last = p.field(0);
    for (int i = 0; i < 20000; ++i) {
      const double t = (i + 0.5) * edge / 20000, x = std::cos(t);
      const std::complex<double> F = p.field(t);
      phase += std::arg(F * std::conj(last));
      last = F;
      const double w = std::norm(F) * std::sin(t);
      sw += w, sx += w * x, sy += w * phase, sxx += w * x * x, sxy += w * x * phase;
    }
    const double fitted = -(sw * sxy - sx * sy) / (sw * sxx - sx * sx) / p.wavenumber_per_m();
    EXPECT_NEAR(pc.fitted_m, fitted, 1e-7) << horn.aperture_radius_m;
  }
  EXPECT_EQ(phase_centre(HornPattern({0.05, 0.3}, f), 4).failure, Failure::invalid_input);
  const Horn small{0.01, kInfinity}; // k a = 2.45 at 11.7 GHz
  EXPECT_EQ(std::make_tuple(phase_centre(small, f, edge).validity,
                            pattern_beamwidth(small, f, 10).validity,
                            design_horn(f, 128.02, 9.1358, 0.1).validity),
            std::make_tuple(Validity::aperture_too_small, Validity::aperture_too_small,
                            Validity::aperture_too_small));
}

TEST(FeedValidity, EachLimitAtItsBoundary) {
  const double f = 10, lambda = wavelength_m(f), k = wavenumber_per_m(f);
  const double cap_a = 4 * lambda; // the cap's rim phase exceeds S (0.96) by 1/16 at R = 2.086 a
  const struct {
    Horn horn;
    Validity validity;
  } rows[] = {
      {{0.999 * kCutoffKa / k, kInfinity}, Validity::below_cutoff},
      {{1.001 * kCutoffKa / k, kInfinity}, Validity::aperture_too_small},
      {{0.999 * kMinHybridKa / k, kInfinity}, Validity::aperture_too_small},
      {{1.001 * kMinHybridKa / k, kInfinity}, Validity::valid},
      {{cap_a, 1.01 * 2.0860 * cap_a}, Validity::valid},
      {{cap_a, 0.99 * 2.0860 * cap_a}, Validity::flare_too_wide},
      {{cap_a, 0.9 * cap_a}, Validity::flare_too_wide},
      {{-1, 1}, Validity::valid}, // refused by check_horn: its failure says why
  };
  for (const auto &r : rows)
    EXPECT_EQ(model_validity(r.horn, f), r.validity) << r.horn.slant_radius_m;
  double at_bound = kMinHybridKa / k; // k a on the bound to the last bit is valid
  while (k * at_bound < kMinHybridKa)
    at_bound = std::nextafter(at_bound, 1.0);
  ASSERT_EQ(k * at_bound, kMinHybridKa);
  EXPECT_EQ(model_validity(Horn{at_bound, kInfinity}, f), Validity::valid);
  EXPECT_NEAR(kMinHybridKa, 2.404825557695773 / std::sqrt(1 - 0.81), 1e-14);
  EXPECT_NEAR(boost::math::cyl_bessel_j_prime(1, kCutoffKa), 0, 1e-15); // the first zero of J1'
  EXPECT_NEAR(std::sqrt(1 - std::pow(2.404825557695773 / kMinHybridKa, 2)), kMinHybridBetaOverK,
              1e-14);
  // The spherical cap of S = 2 at a 40-degree semi-flare: 2.27 cycles at the rim.
  const Horn flare{0.1, 0.1 / std::sin(40 * kDegree)};
  const double f2 = kSpeedOfLight / (0.1 * 0.1 / (4 * flare.slant_radius_m)) / 1e9;
  EXPECT_NEAR(phase_deviation(flare, f2), 2, 1e-12);
  EXPECT_NEAR(rim_phase_cycles(flare, f2), 2.2649487, 1e-7);
}

// Planted cases: the f/D 0.3 optimum below the scan's first span (found by widening, and below
// cut-off), a band from 1 to 100 GHz (below cut-off at 1 GHz), a real-cone check per row, the
// band's middle as the reference, a negative frequency, and best among valid real cones only.
TEST(FeedDishDesign, FlagsAndTheBestRow) {
  const std::vector<double> f{11.7}, band{1, 50.5, 100}, middle{10, 11, 14}, bad{11.7, -1};
  const DishDesignRow low = design_for_dish({0.3, f, {}}, 0.1);
  EXPECT_NEAR(low.aperture_radius_m / wavelength_m(11.7), 0.1128105457, 1e-6);
  EXPECT_EQ(low.validity, Validity::below_cutoff);
  EXPECT_FALSE(low.optimum_on_bound);
  EXPECT_EQ(design_for_dish({0.4, band, {}}, 0.1).validity, Validity::below_cutoff);
  // S = 2 would be best at f/D 0.8 (0.808) but is flagged flare_too_wide.
  const DishDesign wide = design_for_dish({0.8, f, {}}, std::vector{0.3, 0.0, 2.0, 0.1});
  EXPECT_EQ(wide.rows[2].validity, Validity::flare_too_wide);
  EXPECT_GT(wide.rows[2].aperture_efficiency, wide.rows[1].aperture_efficiency);
  EXPECT_EQ(wide.best, 1u);
  EXPECT_NEAR(wide.rows[1].aperture_efficiency, 0.806340, 1e-6);
  EXPECT_EQ(reference_freq_ghz({0.8, middle, {}}), 12);
  EXPECT_EQ(design_for_dish({0.8, middle, {}}, 0.1).aperture_radius_m,
            design_for_dish({0.8, middle, 12.0}, 0.1).aperture_radius_m);
  EXPECT_EQ(design_for_dish({0.8, bad, 11.7}, 0.1).failure, Failure::invalid_input);
  // Seven iterations close the band's roots but not Brent's minimum.
  EXPECT_EQ(design_for_dish({0.8, f, {}}, 0.1, {1e-10, 26, 7}).failure, Failure::not_converged);
  const DishDesign none = design_for_dish({0.4, f, {}}, std::vector{2.5, -1.0, 1.5});
  EXPECT_FALSE(none.best);
  EXPECT_FALSE(none.rows[2].real_cone);          // R = 3.65 < a = 5.30 cm
  EXPECT_EQ(none.rows[1].phase_deviation, -1.0); // a refused row keeps its S
  EXPECT_LT(none.rows[2].slant_radius_m, none.rows[2].aperture_radius_m);
  EXPECT_FALSE(none.rows[0].optimum_on_bound);
  EXPECT_EQ(std::tie(none.rows[0].failure, none.rows[1].failure),
            std::make_tuple(Failure::phase_deviation_out_of_range,
                            Failure::phase_deviation_out_of_range));
  EXPECT_EQ(design_for_dish({0.8, {}, 11.7}, std::vector(513, 0.1)).rows[0].failure,
            Failure::invalid_input);
  // At S = 0 the reference frequency only moves the scan's start (a0 scales with its wavelength):
  // three widenings reach the optimum from a0 25 times too small or too large, not 40 times.
  const DishDesignRow flat = design_for_dish({0.8, f, {}}, 0.0);
  const std::pair<double, bool> scales[] = {{1 / 25.0, false}, {1 / 4.0, false}, {2.5, false},
                                            {25.0, false},     {1 / 40.0, true}, {40.0, true}};
  for (const auto &[scale, on_bound] : scales) {
    const DishDesignRow r = design_for_dish({0.8, f, 11.7 * scale}, 0.0);
    EXPECT_EQ(r.optimum_on_bound, on_bound) << scale;
    if (!on_bound) {
      EXPECT_NEAR(r.aperture_radius_m / flat.aperture_radius_m, 1, 1e-6) << scale;
    }
  }
  // 1025 rows at one frequency, or 513 at two, are past the limit of 1024 pairs.
  const std::vector<double> many(1025, 0.1), pair{11, 12};
  const DishDesign refused = design_for_dish({0.8, f, {}}, many);
  EXPECT_EQ(std::tie(refused.rows.back().failure, refused.rows.back().phase_deviation),
            std::make_tuple(Failure::too_much_work, many.back()));
  const auto half = std::span(many).first(513);
  EXPECT_EQ(design_for_dish({0.8, pair, {}}, half).rows[0].failure, Failure::too_much_work);
}

// The horn on the dish: its failure codes, each returned at once; the feed-position search's
// Brent bracket; the global optimum of a narrow beam on a wide dish; one thread and many alike.
TEST(FeedHornOnDish, FailuresSearchAndThreads) {
  const Horn horn{0.05, 0.3};
  const auto start = std::chrono::steady_clock::now();
  const struct {
    Horn horn;
    double f_over_d, position_m;
    Failure failure;
  } rows[] = {{horn, -0.4, 0, Failure::invalid_input},
              {horn, 0.4, kInfinity, Failure::invalid_input},
              {{0.05, 0}, 0.4, 0, Failure::invalid_input},
              {{1, 1e-322}, 0.4, 0, Failure::too_much_work},
              {{1e30, 1e30}, 0.4, 0, Failure::too_much_work},
              {horn, 0.4, 0, Failure::none}};
  for (const auto &r : rows)
    EXPECT_EQ(dish_efficiency(r.horn, 11.7, r.f_over_d, r.position_m).failure, r.failure);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(dish_efficiency(horn, 11.7, 0.4, std::nullopt, {1e-10, 26, 1}).failure,
            Failure::not_converged);
  const struct {
    double centre, apex;
    FeedWindow window;
  } windows[] = {{5, 10, {-1, 0.125, 97, false}},
                 {5, kInfinity, {4, 0.125, 17, false}},
                 {0, 1e6, {-256, 0.125, kMaxFeedScan, true}}};
  for (const auto &w : windows) {
    const FeedWindow got = feed_window(w.centre, 1, w.apex);
    EXPECT_EQ(std::tie(got.first_m, got.step_m, got.count, got.clipped),
              std::tie(w.window.first_m, w.window.step_m, w.window.count, w.window.clipped));
  }
  const auto hill = [](double d) { return -(d + 0.06) * (d + 0.06); };
  EXPECT_NEAR(best_feed_position(hill, 0, 1).position_m, -0.06, 1e-7);
  EXPECT_FALSE(best_feed_position(hill, 0, 0).on_bound);
  EXPECT_EQ(best_feed_position(hill, FeedWindow{}, std::span<const double>{}).failure,
            Failure::invalid_input); // nothing scanned
  // The peak beyond the window's last sample, inside it, before its first.
  for (const double from : {-2.0, 0.0, 2.0})
    EXPECT_EQ(best_feed_position(hill, from, 1).on_bound, from != 0) << from;
  const double lambda = wavelength_m(10);
  const DishEfficiency narrow = dish_efficiency({15 * lambda, 450 * lambda}, 10, 0.4);
  EXPECT_NEAR(narrow.efficiency.aperture, 0.00269496, 1e-8);
  EXPECT_NEAR(narrow.feed_position_m / lambda, 135.445, 0.01);
  const std::vector<double> freqs{8, 9.5, 11.7, 13, 15.5, 18};
  const auto together = dish_band(horn, freqs, 0.4);
  for (std::size_t i = 0; i < freqs.size(); ++i)
    EXPECT_EQ(together[i].efficiency.aperture,
              dish_efficiency(horn, freqs[i], 0.4).efficiency.aperture);
  const std::vector<double> ratios{0.3, 0.45, 0.8};
  const auto curve = dish_curve(horn, 11.7, ratios);
  for (std::size_t i = 0; i < ratios.size(); ++i)
    EXPECT_EQ(curve[i].efficiency.aperture,
              dish_efficiency(horn, 11.7, ratios[i]).efficiency.aperture);
  for (const auto &refused : {dish_band(horn, std::vector<double>(1025, 10), 0.4),
                              dish_curve(horn, 10, std::vector<double>(1025, 0.4))})
    EXPECT_EQ(refused[0].failure, Failure::too_much_work);
  for (const auto &at_limit : {dish_band({-1, 1}, std::vector<double>(1024, 10), 0.4),
                               dish_curve({-1, 1}, 10, std::vector<double>(1024, 0.4))})
    EXPECT_EQ(at_limit[0].failure, Failure::invalid_input);
  EXPECT_DOUBLE_EQ(apex_distance_m({0.3, 0.5}), 0.4);
}

TEST(FeedDishGeometry, EdgeIlluminationMustBeNegativeAndReachable) {
  const struct {
    double f_over_d, edge_db;
    Failure failure;
  } rows[] = {{0.4, -12, Failure::none},         {0.4, 0, Failure::invalid_input},
              {0.4, 12, Failure::invalid_input}, {0.4, -kInfinity, Failure::invalid_input},
              {0, -12, Failure::invalid_input},  {0.4, -2.8, Failure::no_main_lobe_solution},
              {3, -0.5, Failure::none}}; // a feed level of 0.44 dB
  for (const auto &r : rows) {
    EXPECT_EQ(feed_level_for_edge(r.f_over_d, r.edge_db).failure, r.failure) << r.edge_db;
    EXPECT_EQ(design_for_edge_illumination(11.7, r.f_over_d, r.edge_db, 0.1).failure, r.failure);
  }
  const DishGeometry g = dish_geometry(0.4);
  EXPECT_NEAR(g.half_angle_deg, 64.01076641617, 1e-10);
  EXPECT_TRUE(std::isnan(dish_half_angle_rad(-0.4)));
  EXPECT_NEAR(g.space_attenuation_db, -2.864200653221, 1e-11);
  EXPECT_EQ(describe(Failure::too_much_work), kFailureNames.back());
  EXPECT_STREQ(describe(static_cast<Validity>(9)), "unknown");
}

} // namespace
} // namespace kelvor::feed
