// The model-true numerics against closed forms: integrals of known value, the panel rule's
// boundaries, and the phase centre of a point source displaced along the axis.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "numeric/composite_gauss.hpp"
#include "numeric/phase_fit.hpp"

namespace kelvor::numeric {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(CompositeGauss, IntegratesInAscendingOrderToRounding) {
  // integral of cos(40 x) exp(x) over [0.5, 2.5]: forty radians of turn on 4 panels.
  const QuadratureNodes q = composite_gauss(0.5, 2.5, 4);
  ASSERT_EQ(q.node.size(), 80u);
  double sum = 0;
  for (std::size_t i = 0; i < q.node.size(); ++i) {
    sum += q.weight[i] * std::cos(40 * q.node[i]) * std::exp(q.node[i]);
    if (i > 0) {
      EXPECT_LT(q.node[i - 1], q.node[i]);
    }
  }
  const auto primitive = [](double x) {
    return std::exp(x) * (std::cos(40 * x) + 40 * std::sin(40 * x)) / 1601;
  };
  EXPECT_NEAR(sum, primitive(2.5) - primitive(0.5), 1e-13);
}

TEST(CompositeGauss, PanelRuleBoundaries) {
  struct Row {
    double turn, per_panel;
    std::size_t max;
    std::optional<std::size_t> panels;
  };
  const Row rows[] = {{0, 6, 10, 1},           {6, 6, 10, 1},           {6.01, 6, 10, 2},
                      {60, 6, 10, 10},         {60.1, 6, 10, {}},       {-1, 6, 10, {}},
                      {NAN, 6, 10, {}},        {INFINITY, 6, 1000, {}}, {1, 0, 10, {}},
                      {1e300, 1, SIZE_MAX, {}}};
  for (const Row &r : rows)
    EXPECT_EQ(panels_for_turn(r.turn, r.per_panel, r.max), r.panels) << r.turn;
}

// A point source at d (m) from the reference: phase -k d cos theta plus any constant, under any
// amplitude taper; the fit returns d. A field with one angle or no power has no fit.
TEST(PhaseFit, PointSourceDisplacedByDComesOutAsD) {
  const double k = 2 * kPi / 0.03;
  const QuadratureNodes q = composite_gauss(0, 1.2, 8);
  for (const double d : {-0.021, 0.0, 0.004, 0.05}) {
    std::vector<std::complex<double>> field;
    for (const double t : q.node)
      field.push_back(std::polar(std::exp(-3 * t * t), 0.7 - k * d * std::cos(t)));
    EXPECT_NEAR(fitted_phase_centre_m(q.node, q.weight, field, k).value(), d, 1e-12) << d;
  }
  const std::vector<std::complex<double>> dark(q.node.size());
  EXPECT_FALSE(fitted_phase_centre_m(q.node, q.weight, dark, k));
  const std::vector<double> one{0.3}, w{1.0};
  const std::vector<std::complex<double>> f{1.0};
  EXPECT_FALSE(fitted_phase_centre_m(one, w, f, k));
  EXPECT_FALSE(fitted_phase_centre_m(q.node, w, f, k));
  EXPECT_FALSE(fitted_phase_centre_m(one, w, f, 0));
}

} // namespace
} // namespace kelvor::numeric
