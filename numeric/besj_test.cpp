#include "numeric/besj.hpp"

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "numeric/besj0.hpp"
#include "tests/support/test_support.hpp"

namespace kelvor::numeric {
namespace {

using kelvor::testing::as_printed;
constexpr double kEps = std::numeric_limits<float>::epsilon();

TEST(BESJ, DocumentedValues) {
  struct Case {
    const char *label;
    float x, order;
    std::string printed;
  };
  const Case cases[] = {
      {"J1(1), series", 1.0f, 1.0f, "0.4400506"},
      {"J1(20), asymptotic", 20.0f, 1.0f, "0.06683296"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(as_printed(BESJ(c.x, c.order), c.printed), c.printed) << c.label;
}

TEST(BESJ, AtZeroArgument) {
  EXPECT_EQ(BESJ(0.0f, 0.0f), 1.0f);
  for (const float order : {0.5f, 1.0f, 2.0f, 3.7f})
    EXPECT_EQ(BESJ(0.0f, order), 0.0f) << "order " << order;
}

TEST(BESJ, OrderZeroSeriesMatchesBESJ0) {
  // k*(k+0) is k*k exactly, so the two series are the same sums.
  for (int i = 0; i <= 600; ++i) {
    const float x = 6.0f * static_cast<float>(i) / 600.0f;
    EXPECT_EQ(BESJ(x, 0.0f), BESJ0(x)) << "x = " << x;
  }
}

// Half-integer orders have closed forms (spherical Bessel functions), and for them the Hankel
// expansion terminates, so both branches can be checked without a truncation allowance.
TEST(BESJ, HalfIntegerOrdersAgainstClosedForm) {
  for (int i = 1; i <= 400; ++i) {
    const double x = 0.05 * i; // 0.05 ... 20
    const float xf = static_cast<float>(x);
    const double a = std::sqrt(2 / (std::numbers::pi * double{xf}));
    const double j_half = a * std::sin(double{xf});
    const double j_three_halves = a * (std::sin(double{xf}) / xf - std::cos(double{xf}));
    // Series: eps per term of a sum bounded by about cosh-like growth; asymptotic: half an ulp
    // of the phase and a few roundings of the amplitude.
    const double tol =
        xf <= 6.0f ? 4 * kEps * std::exp(double{xf} / 2) : a * (4 * kEps * xf + 4 * kEps);
    EXPECT_NEAR(BESJ(xf, 0.5f), j_half, tol) << "x = " << xf;
    EXPECT_NEAR(BESJ(xf, 1.5f), j_three_halves, tol) << "x = " << xf;
  }
}

} // namespace
} // namespace kelvor::numeric
