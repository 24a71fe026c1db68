#include "numeric/gami.hpp"

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_support.hpp"

namespace kelvor::numeric {
namespace {

using kelvor::testing::as_printed;
constexpr double kEps = std::numeric_limits<float>::epsilon();

TEST(GAMI, DocumentedValues) {
  struct Case {
    float z;
    std::string printed;
  };
  const Case cases[] = {
      {0.5f, "0.5641896"},
      {-1.5f, "0.4231422"},
      {-2.5f, "-1.057855"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(as_printed(GAMI(c.z), c.printed), c.printed) << "z = " << c.z;
}

TEST(GAMI, ExactAndZeroValues) {
  EXPECT_EQ(GAMI(1.0f), 1.0f);
  EXPECT_EQ(GAMI(2.0f), 1.0f);
  EXPECT_EQ(GAMI(3.0f), 0.5f);
  EXPECT_EQ(GAMI(7.0f), 1.0f / 720.0f);
  // Poles of Gamma, and the cut-off at |z| >= 33.
  for (const float z : {0.0f, -1.0f, -2.0f, -17.0f, -32.0f, 33.0f, -33.0f, -40.0f, 1e30f})
    EXPECT_EQ(GAMI(z), 0.0f) << "z = " << z;
  EXPECT_TRUE(std::isnan(GAMI(std::numeric_limits<float>::quiet_NaN())));
}

// c1 ... c20 as used by the routine, only to size the rounding error it can make.
constexpr std::array<double, 20> kCoef = {
    1.0,          0.5772157,      -0.6558780,      -0.04200264,    0.1665386,
    -0.04219773,  -0.009621970,   0.007218943,     -0.001165167,   -0.0002152417,
    0.0001280503, -0.00002013485, -0.000001250493, 0.000001133027, -0.0000002056338,
    6.116095e-9,  5.002007e-9,    -1.181275e-9,    1.043427e-10,   7.7823e-12};

TEST(GAMI, AgainstDoublePrecisionGamma) {
  // Relative error budget: the series at the fractional part f loses eps/2 times the sum of
  // the magnitudes of its terms over its value (large near the zero of 1/Gamma at f = -1), and
  // each of the m recurrence steps adds about eps/2.
  for (int i = -32999; i < 33000; i += 7) {
    const float z = static_cast<float>(i) / 1000.0f;
    if (z == std::trunc(z))
      continue;
    const int n = static_cast<int>(z);
    const double f = double{z} - n;
    double magnitude = 0, power = 1;
    for (const double c : kCoef) {
      power *= std::fabs(f);
      magnitude += std::fabs(c) * power;
    }
    const double ref = 1 / std::tgamma(double{z});
    const double budget = magnitude * std::fabs(std::tgamma(f)) + std::abs(n) + 1;
    EXPECT_NEAR(GAMI(z), ref, budget * kEps / 2 * std::fabs(ref)) << "z = " << z;
  }
}

TEST(GAM, IsReciprocalOfGAMI) {
  for (const float z : {0.1f, 0.5f, 1.5f, 4.25f, 10.5f, 20.3f, -0.5f, -3.7f, -12.2f})
    EXPECT_NEAR(GAM(z) * GAMI(z), 1.0f, 2 * kEps) << "z = " << z;
  // 1/GAMI(6) = 1/float(1/120): the rounding of the quotient chain shows in the last bit.
  EXPECT_NEAR(GAM(6.0f), 120.0f, 120.0f * kEps);
  EXPECT_EQ(GAM(0.0f), std::numeric_limits<float>::infinity());
}

} // namespace
} // namespace kelvor::numeric
