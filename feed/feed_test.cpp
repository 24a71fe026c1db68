// The model-true path against independent references: the pattern against adaptive
// Gauss-Kronrod, the design by its round trip, Silver's integrals against the closed form of the
// cos^2 feed, and the engineer's prime-focus case.
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "feed/beamwidth.hpp"
#include "feed/bessel.hpp"
#include "feed/design.hpp"
#include "feed/dish_design.hpp"
#include "feed/dish_geometry.hpp"
#include "feed/phase_centre.hpp"

namespace kelvor::feed {
namespace {

// The aperture integral by adaptive 61-point Gauss-Kronrod to 1e-13, each part separately.
std::complex<double> reference_integral(double S, double u) {
  const auto part = [&](double sign, auto trig) {
    const auto f = [&](double t) {
      return sign * bessel_j0(kFirstZeroJ0 * t) * trig(2 * kPi * S * t * t) * bessel_j0(u * t) * t;
    };
    return boost::math::quadrature::gauss_kronrod<double, 61>::integrate(f, 0.0, 1.0, 15, 1e-13);
  };
  return {part(1.0, [](double x) { return std::cos(x); }),
          part(-1.0, [](double x) { return std::sin(x); })};
}

TEST(FeedPattern, WithinAThousandthOfADbDownToMinus40ForApertures20WavelengthsWide) {
  for (const double S : {0.0, 0.25, 1.0, 2.0}) {
    const ApertureIntegral P(S, 2 * kPi * 20);
    const double axis = std::abs(reference_integral(S, 0));
    for (double u = 0; u <= 2 * kPi * 20; u += 0.5) {
      const std::complex<double> ref = reference_integral(S, u);
      EXPECT_LT(std::abs(P(u) - ref) / axis, 1e-9) << S << ' ' << u;
      if (std::abs(ref) > 0.01 * axis) {
        EXPECT_NEAR(amplitude_db(std::abs(P(u)) / std::abs(P(0))),
                    amplitude_db(std::abs(ref) / axis), 1e-3);
      }
    }
  }
  // Beyond u_max the finest level built is used: one panel at u = 30, still within 1e-9.
  EXPECT_LT(std::abs(ApertureIntegral(0.25, 5)(30) - reference_integral(0.25, 30)) /
                std::abs(reference_integral(0.25, 0)),
            1e-9);
}

// Every request of the grid either has its answer, whose own pattern reaches the level exactly
// at the half-angle and first there, or fails because the obliquity loss alone reaches it.
TEST(FeedDesign, RoundTripOverBeamwidthsLevelsAndPhaseDeviations) {
  const double freq = 11.7;
  for (const double bw : {10.0, 40.0, 70.0, 100.0, 130.0, 150.0, 170.0})
    for (const double level : {3.0, 6.0, 10.0, 14.0, 20.0})
      for (const double S : {0.05, 0.2, 0.5, 0.75, 1.0}) {
        const HornDesign d = design_horn(freq, bw, level, S);
        if (level <= -amplitude_db(obliquity_factor(bw / 2 * kDegree))) {
          EXPECT_EQ(d.failure, Failure::no_main_lobe_solution);
          EXPECT_TRUE(std::isnan(d.aperture_radius_m));
          continue;
        }
        ASSERT_EQ(d.failure, Failure::none) << bw << ' ' << level << ' ' << S;
        const Horn horn{d.aperture_radius_m, d.slant_radius_m};
        EXPECT_NEAR(phase_deviation(horn, freq), S, 1e-12);
        EXPECT_NEAR(HornPattern(horn, freq).level_db(bw / 2 * kDegree), -level, 1e-6);
        EXPECT_NEAR(pattern_beamwidth(horn, freq, level).full_width_deg, bw, 1e-6 * bw);
        EXPECT_EQ(d.real_cone, d.slant_radius_m >= d.aperture_radius_m);
      }
}

TEST(FeedDesign, ExplicitFailuresAndTheConeThatCannotExist) {
  struct Row {
    const char *label;
    double bw, level, S;
    Failure failure;
  };
  const Row rows[] = {
      {"obliquity alone", 170, 3, 0.1, Failure::no_main_lobe_solution},
      {"-60 dB never reached before u = 50 at S = 2", 20, 60, 2.0, Failure::no_main_lobe_solution},
      {"S above 2", 30, 10, 2.5, Failure::phase_deviation_out_of_range},
      {"negative S", 30, 10, -0.1, Failure::phase_deviation_out_of_range},
      {"beamwidth 180", 180, 10, 0.1, Failure::invalid_input},
      {"level 0", 30, 0, 0.1, Failure::invalid_input},
      {"S 1.5 computed", 30, 10, 1.5, Failure::none},
      {"S 0, a flat aperture phase", 30, 10, 0.0, Failure::none},
      {"S 2 at 51.5 dB: u = 49.3, inside the scan", 30, 51.5, 2.0, Failure::none},
      {"S 2 at 51.75 dB: u past 50, the scan's end", 30, 51.75, 2.0,
       Failure::no_main_lobe_solution},
      {"beamwidth 179.5", 179.5, 10, 0.1, Failure::none},
  };
  for (const Row &r : rows)
    EXPECT_EQ(design_horn(10, r.bw, r.level, r.S).failure, r.failure) << r.label;
  // A wide beam at large S: the slant radius comes out shorter than the aperture radius.
  const HornDesign wide = design_horn(10, 120, 10, 0.5);
  EXPECT_EQ(wide.failure, Failure::none);
  EXPECT_LT(wide.slant_radius_m, wide.aperture_radius_m);
  EXPECT_FALSE(wide.real_cone);
  EXPECT_TRUE(design_horn(10, 30, 10, 0.1).real_cone);
  // A level up to 300 dB has an answer (the obliquity factor's null at 180 degrees), not beyond.
  const struct {
    double a_m, R_m, level_db;
    Failure failure;
  } levels[] = {
      {0.01, 0.1, 0, Failure::invalid_input},      {-0.01, 0.1, 10, Failure::invalid_input},
      {0.01, 0.0, 10, Failure::invalid_input},     {0.01, 0.1, 300, Failure::none},
      {0.01, 0.1, 300.01, Failure::invalid_input}, {1, 1e-322, 10, Failure::too_much_work},
      {1e30, 1e30, 10, Failure::too_much_work}};
  // The work limit k a + 4 pi S <= 192 at 10 GHz, reached exactly (S = 0) and passed (S = 2).
  const double k = wavenumber_per_m(10), a192 = 192 / k, a180 = 180 / k;
  const struct {
    double a_m, R_m;
    Failure failure;
  } work[] = {{a192, kInfinity, Failure::none},
              {a180, a180 * a180 / (4 * wavelength_m(10)), Failure::too_much_work}};
  for (const auto &w : work)
    EXPECT_EQ(pattern_beamwidth(Horn{w.a_m, w.R_m}, 10, 10).failure, w.failure) << w.a_m;
  for (const auto &l : levels)
    EXPECT_EQ(pattern_beamwidth(Horn{l.a_m, l.R_m}, 10, l.level_db).failure, l.failure) << l.R_m;
}

// Silver's integrals for the ideal cos^2 feed: F = cos theta ahead, nothing behind.
TEST(FeedDish, IdealCosSquaredFeedGivesTheClosedForm) {
  const FeedPattern cos2 = [](double t) {
    return std::complex<double>(t < kPi / 2 ? std::cos(t) : 0);
  };
  for (const double f_over_d : {0.25, 0.3, 0.4, 0.6, 1.0, 2.0}) {
    const double t0 = dish_half_angle_rad(f_over_d);
    const double h = std::tan(t0 / 2);
    const double closed =
        24 * std::pow(std::sin(t0 / 2) * std::sin(t0 / 2) + std::log(std::cos(t0 / 2)), 2) /
        (h * h);
    const Efficiencies e = SilverIntegrals(cos2, t0, 4.0).at(0);
    EXPECT_NEAR(e.aperture, closed, 1e-12) << f_over_d;
    EXPECT_NEAR(e.spillover * e.illumination * e.phase * e.polarisation, e.aperture, 1e-14);
    EXPECT_NEAR(e.phase, 1, 1e-14);
    EXPECT_NEAR(e.spillover, 1 - std::pow(std::max(std::cos(t0), 0.0), 3), 1e-13); // |F|^2 sin
    // The scan turns the samples by products: each value as at() gives it.
    const SilverIntegrals silver(cos2, t0, 4.0);
    const std::vector<double> scan = silver.aperture_scan(-3, 0.5, 13);
    for (std::size_t i = 0; i < scan.size(); ++i)
      EXPECT_NEAR(scan[i], silver.at(-3 + 0.5 * static_cast<double>(i)).aperture, 1e-12) << i;
  }
  // The cos^2 feed displaced by s / k: its integral over the dish is int_c0^1 x e^{jsx} / (1+x)
  // dx (x = cos theta), by Gauss-Kronrod; the power on the sphere stays 1/3.
  const double s = 40, t0 = dish_half_angle_rad(0.4), h = std::tan(t0 / 2);
  const auto part = [&](auto trig) {
    return boost::math::quadrature::gauss_kronrod<double, 61>::integrate(
        [&](double x) { return x * trig(s * x) / (1 + x); }, std::cos(t0), 1.0, 15, 1e-14);
  };
  const double re = part([](double y) { return std::cos(y); });
  const double im = part([](double y) { return std::sin(y); });
  const FeedPattern shifted = [&](double t) { return cos2(t) * std::polar(1.0, s * std::cos(t)); };
  EXPECT_NEAR(SilverIntegrals(shifted, t0, 4.0).at(0).aperture, 6 * (re * re + im * im) / (h * h),
              1e-12);
}

// f/D = 0.4 at 11.7 GHz, -12 dB edge illumination, S = 0.1.
TEST(FeedDish, EngineersPrimeFocusCase) {
  const double freq = 11.7, f_over_d = 0.4;
  const double theta0 = dish_half_angle_rad(f_over_d);
  EXPECT_NEAR(theta0 / kDegree, 64.01, 0.005);
  EXPECT_NEAR(feed_level_for_edge(f_over_d, -12).level_db, 9.135799346779, 1e-11);
  const HornDesign d = design_for_edge_illumination(freq, f_over_d, -12, 0.1);
  EXPECT_NEAR(d.aperture_radius_m, 0.01336311278, 1e-11);
  const HornOnDish dish({d.aperture_radius_m, d.slant_radius_m}, freq, f_over_d);
  const DishEfficiency best = dish.optimum();
  EXPECT_NEAR(best.edge_illumination_db, -12.00, 0.02);
  EXPECT_NEAR(best.space_attenuation_db, -2.86, 0.005);
  EXPECT_NEAR(best.half_angle_deg, theta0 / kDegree, 1e-12);
  EXPECT_FALSE(dish.at(0).optimum_on_bound);
  // A peak is one cycle of rim phase wide: k d (1 - cos theta0) = 2 pi.
  EXPECT_NEAR(dish.peak_width_m(), wavelength_m(freq) / (1 - std::cos(theta0)), 1e-15);
  // The optimum beats the aperture plane and both neighbours a hundredth of a wavelength away.
  const double step = 0.01 * wavelength_m(freq);
  for (const double d_m : {0.0, best.feed_position_m - step, best.feed_position_m + step})
    EXPECT_LT(dish.at(d_m).efficiency.aperture, best.efficiency.aperture);
  const Efficiencies &e = best.efficiency;
  EXPECT_NEAR(e.spillover * e.illumination * e.phase * e.polarisation, e.aperture, 1e-14);
  // Both phase centres pinned (the classic one closer to the aperture), the optimum between.
  const PhaseCentre pc = phase_centre({d.aperture_radius_m, d.slant_radius_m}, freq, theta0);
  EXPECT_NEAR(pc.axis_to_edge_m, 0.6870031861e-3, 1e-12);
  EXPECT_NEAR(pc.fitted_m, 0.7054616115e-3, 1e-12);
  EXPECT_NEAR(dish.fitted_phase_centre_m().value_or(0), pc.fitted_m, 1e-12);
  EXPECT_NEAR(best.feed_position_m, 0.6998930595e-3, 1e-9);
  EXPECT_NEAR(e.aperture, 0.703565378, 1e-8);
  // At a = 0.52 lambda the horn is outside the model (beta/k 0.68): flagged, and never best.
  EXPECT_EQ(best.validity, Validity::aperture_too_small);
  const std::vector<double> f{freq};
  EXPECT_FALSE(design_for_dish({f_over_d, f, freq}, std::vector{0.1, 0.3}).best);
}

} // namespace
} // namespace kelvor::feed
