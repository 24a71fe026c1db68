#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "asbuilt/dish.hpp"

namespace kelvor::asbuilt {
namespace {

// A known feed: E- and H-plane fields (1 +- eps) cos(theta) over the forward hemisphere, with its
// phase centre p0 behind the aperture plane. CO = cos theta, XP = eps cos theta: the polarisation
// efficiency is 1 / (1 + eps^2); the rest is the ideal cos feed's closed form (feed/dish.hpp),
// spillover 1 - cos^3(theta0), all at the feed position p0.
TEST(RealHornOnDish, PolarisationEfficiencyOfAKnownCrossPolarField) {
  const double k = 2 * M_PI / 0.03, f_over_d = 0.5;
  const double theta0 = 2 * std::atan(1 / (4 * f_over_d));
  const double half = theta0 / 2, cot = 1 / std::tan(half);
  const double ideal =
      24 * std::pow(std::sin(half) * std::sin(half) + std::log(std::cos(half)), 2) * cot * cot;
  struct Case {
    double eps, p0_m;
  };
  for (const Case c : {Case{0, 0}, Case{0.1, 0.01}, Case{0.3, -0.005}}) {
    SCOPED_TRACE(c.eps);
    const PlanePattern planes = [&](double theta) {
      const auto f = theta < M_PI / 2 ? std::polar(std::cos(theta), -k * c.p0_m * std::cos(theta))
                                      : std::complex<double>(0);
      return modal::PlaneFields{(1 + c.eps) * f, (1 - c.eps) * f};
    };
    const RealHornOnDish dish(planes, k, 10 + k * std::abs(c.p0_m), f_over_d);
    ASSERT_EQ(dish.failure(), feed::Failure::none);
    EXPECT_NEAR(dish.fitted_phase_centre_m(), c.p0_m, 1e-12);
    const feed::DishEfficiency best = dish.optimum();
    const feed::Efficiencies &e = best.efficiency;
    EXPECT_NEAR(best.feed_position_m, c.p0_m, 1e-6);
    EXPECT_NEAR(e.polarisation, 1 / (1 + c.eps * c.eps), 1e-14);
    EXPECT_NEAR(e.aperture, ideal / (1 + c.eps * c.eps), 1e-12);
    EXPECT_NEAR(e.spillover, 1 - std::pow(std::cos(theta0), 3), 1e-12);
    EXPECT_NEAR(e.spillover * e.polarisation * e.illumination * e.phase, e.aperture, 1e-14);
    EXPECT_NEAR(best.feed_edge_level_db, 20 * std::log10(std::cos(theta0)), 1e-12);
    EXPECT_NEAR(best.edge_illumination_db,
                20 * std::log10(std::cos(theta0) * (1 + std::cos(theta0)) / 2), 1e-12);
  }
  const PlanePattern null = [](double) { return modal::PlaneFields{1.0, -1.0}; };
  EXPECT_EQ(RealHornOnDish(null, k, 10, 0.5).failure(), feed::Failure::null_on_axis);
  EXPECT_TRUE(std::isnan(RealHornOnDish(null, k, 10, 0.5).fitted_phase_centre_m()));
  EXPECT_EQ(RealHornOnDish(null, k, 10, 0).failure(), feed::Failure::invalid_input);
  EXPECT_EQ(RealHornOnDish(null, k, 10, -0.5).optimum().failure, feed::Failure::invalid_input);
  EXPECT_TRUE(std::isnan(RealHornOnDish(modal::ApertureField{}, 0.5).at(0).efficiency.aperture));
}

// A profile's dish is its analysed aperture's; without an answer it names the analysis's reason.
TEST(RealHornOnDish, ProfileOnDishCarriesTheAnalysisFailure) {
  const modal::Profile horn{{0.02, 0.012}, {0.02, 0.02}};
  EXPECT_EQ(profile_on_dish(horn, 12, 0.5).efficiency.aperture,
            RealHornOnDish(modal::analyse(horn, 12).aperture, 0.5).optimum().efficiency.aperture);
  const modal::Profile huge{{0.01, 0.012}, {0.01, 30}}; // a 30 m guide: past the work limit
  EXPECT_EQ(profile_on_dish(huge, 12, 0.5).failure, feed::Failure::too_much_work);
  EXPECT_EQ(profile_on_dish(horn, 7, 0.5).failure, feed::Failure::invalid_input); // below cut-off
}

// The mode-matched aperture's dish: its own sampling (k a + 6 pi radians of turn) against the
// radiator's planes sampled three times as densely; and the polarisation
// efficiency of TE11 (0.937) against an adaptive quadrature of the co- and cross-polar powers.
TEST(RealHornOnDish, ApertureSamplingIsConverged) {
  const modal::ApertureField te11{0.03, 12, {1.0}, {}};
  const double k = 2 * M_PI * 12e9 / 299792458.0;
  const auto radiator = std::make_shared<modal::Radiator>(te11);
  const PlanePattern planes = [radiator](double t) { return radiator->planes(t); };
  const feed::DishEfficiency own = RealHornOnDish(te11, 0.4).optimum(),
                             dense = RealHornOnDish(planes, k, 3 * (k * 0.03 + 20), 0.4).optimum();
  ASSERT_EQ(own.failure, feed::Failure::none);
  EXPECT_NEAR(own.efficiency.aperture, dense.efficiency.aperture, 1e-12);
  EXPECT_NEAR(own.feed_position_m, dense.feed_position_m, 1e-9);
  const auto power = [&](double sign) {
    return boost::math::quadrature::gauss_kronrod<double, 61>::integrate(
        [&](double t) {
          const auto p = radiator->planes(t);
          return std::norm(p.e_plane_v + sign * p.h_plane_v) * std::sin(t);
        },
        0, 2 * std::atan(1 / (4 * 0.4)), 15, 1e-14);
  };
  EXPECT_NEAR(own.efficiency.polarisation, power(1) / (power(1) + power(-1)), 1e-12);
}

} // namespace
} // namespace kelvor::asbuilt
