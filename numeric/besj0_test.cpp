#include "numeric/besj0.hpp"

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_support.hpp"

namespace kelvor::numeric {
namespace {

using kelvor::testing::as_printed;
using quad = __float128;
constexpr double kEps = std::numeric_limits<float>::epsilon();

// J0(x) and I0(x) = sum of the magnitudes of the series terms, in quadruple precision. For
// x <= 40 the cancellation costs at most I0(40) ~ 1.5e16 of a 1e-34 unit: exact for our use.
struct Reference {
  double j0;
  double i0;
};
Reference series_reference(double x) {
  const quad s = static_cast<quad>(x) * x / 4;
  quad t = 1, j = 1, i = 1;
  for (int k = 1; k < 400; ++k) {
    t = t * s / (static_cast<quad>(k) * k);
    i += t;
    j += (k % 2 == 1) ? -t : t;
  }
  return {static_cast<double>(j), static_cast<double>(i)};
}

TEST(BESJ0, DocumentedValues) {
  struct Case {
    const char *label;
    float x;
    std::string printed;
  };
  const Case cases[] = {
      {"zero", 0.0f, "1.0000000"},
      {"one", 1.0f, "0.7651977"},
      {"five", 5.0f, "-0.1775967"},
      {"switch point, series", 10.0f, "-0.245919"},
      {"past switch point, asymptotic", 10.0001f, "-0.245940"},
      {"twenty, asymptotic", 20.0f, "0.1670247"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(as_printed(BESJ0(c.x), c.printed), c.printed) << c.label;
  EXPECT_EQ(BESJ0(0.0f), 1.0f);
  EXPECT_NEAR(BESJ0(2.404825f), 0.0f, 1e-6f) << "first zero";
}

TEST(BESJ0, SwitchPointJump) {
  // The series loses about 2e-5 to cancellation at 10; the asymptotic form just above is
  // accurate to the rounding of its phase.
  const float above = std::nextafter(10.0f, 11.0f);
  EXPECT_NEAR(BESJ0(above), -0.2459358f, 2e-7f);
  EXPECT_NEAR(BESJ0(above) - BESJ0(10.0f), -1.7e-5f, 0.3e-5f);
}

TEST(BESJ0, SeriesAgainstQuadPrecision) {
  // x <= 10: the error of a float sum with alternating terms is bounded by eps times the sum
  // of the magnitudes of its terms, I0(x).
  for (int i = 0; i <= 2000; ++i) {
    const float x = 10.0f * static_cast<float>(i) / 2000.0f;
    const Reference ref = series_reference(x);
    EXPECT_NEAR(BESJ0(x), ref.j0, kEps * ref.i0) << "x = " << x;
  }
}

TEST(BESJ0, AsymptoticAgainstQuadPrecision) {
  // x > 10: truncation of the expansion is below 1e-8 here; what remains is the rounding of the
  // phase x - pi/4 to float (half an ulp of it) and a few roundings of the amplitude.
  for (int i = 1; i <= 1500; ++i) {
    const float x = 10.0f + 30.0f * static_cast<float>(i) / 1500.0f;
    const float chi = x - 0.7853982f;
    const double phase_ulp = std::nextafter(chi, 100.0f) - chi;
    const double tol = std::sqrt(2 / (std::numbers::pi * x)) * (phase_ulp / 2 + 2 * kEps);
    EXPECT_NEAR(BESJ0(x), series_reference(x).j0, tol) << "x = " << x;
  }
}

TEST(BESJ0, EvenInSeriesRange) {
  for (const float x : {1e-3f, 0.5f, 2.404825f, 3.7f, 7.25f, 9.999f, 10.0f})
    EXPECT_EQ(BESJ0(-x), BESJ0(x)) << "x = " << x;
}

TEST(BESJ0, NanPropagates) {
  EXPECT_TRUE(std::isnan(BESJ0(std::numeric_limits<float>::quiet_NaN())));
}

} // namespace
} // namespace kelvor::numeric
