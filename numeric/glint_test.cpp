#include "numeric/glint.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>

#include <gtest/gtest.h>

namespace kelvor::numeric {
namespace {

constexpr float kEps = std::numeric_limits<float>::epsilon();

// Integrands see only their block; these record what they were called with in file-level
// state, reset by each test.
int g_calls = 0;
std::array<float, 64> g_abscissae{};
int g_degree = 0;

float record(std::span<const float> parm) {
  if (g_calls < static_cast<int>(g_abscissae.size()))
    g_abscissae[static_cast<std::size_t>(g_calls)] = parm[0];
  ++g_calls;
  return 1.0f;
}

float monomial(std::span<const float> parm) {
  ++g_calls;
  return static_cast<float>(std::pow(double{parm[0]}, g_degree));
}

// x^d scaled by the second block element: shows that the other elements reach the integrand.
float scaled_square(std::span<const float> parm) {
  return parm[0] * parm[0] * parm[1];
}

TEST(GLINT, UnsupportedOrderIntegratesToZero) {
  for (const int n : {11, 0, -4, 64, 1, 2, 33}) {
    g_calls = 0;
    std::array<float, 2> parm = {-7.0f, 3.0f};
    float result = 99.0f;
    GLINT(0.0f, 1.0f, parm, record, n, result);
    EXPECT_EQ(result, 0.0f) << n;
    EXPECT_EQ(g_calls, 0) << n;
    EXPECT_EQ(parm[0], -7.0f) << n;
    EXPECT_EQ(parm[1], 3.0f) << n;
  }
}

TEST(GLINT, EmptyIntervalStillCallsIntegrandNTimes) {
  for (const int n : NORDER) {
    g_calls = 0;
    std::array<float, 1> parm{};
    float result = 5.0f;
    GLINT(0.25f, 0.25f, parm, record, n, result);
    EXPECT_EQ(result, 0.0f) << n;
    EXPECT_EQ(g_calls, n) << n;
    for (int i = 0; i < n; ++i)
      EXPECT_EQ(g_abscissae[static_cast<std::size_t>(i)], 0.25f) << n;
  }
}

TEST(GLINT, SixteenPointAbscissaSequence) {
  g_calls = 0;
  std::array<float, 1> parm{};
  float result = 0.0f;
  const int n = 16;
  GLINT(0.0f, 1.0f, parm, record, n, result);
  ASSERT_EQ(g_calls, 16);
  EXPECT_NEAR(g_abscissae[0], 0.5f - 0.5f * 0.0950125f, 1e-7f);
  EXPECT_NEAR(g_abscissae[1], 0.5f + 0.5f * 0.0950125f, 1e-7f);
  // Pairs move outwards from the midpoint, lower point first.
  for (std::size_t j = 0; j + 2 < 16; j += 2) {
    EXPECT_GT(g_abscissae[j], g_abscissae[j + 2]);
    EXPECT_LT(g_abscissae[j + 1], g_abscissae[j + 3]);
  }
  EXPECT_NEAR(parm[0], 0.9947005f, 1e-7f);
  EXPECT_EQ(parm[0], g_abscissae[15]);
  EXPECT_NEAR(result, 1.0f, 2 * kEps);
}

TEST(GLINT, OddRuleEndsAtMidpoint) {
  g_calls = 0;
  std::array<float, 1> parm{};
  float result = 0.0f;
  const int n = 5;
  GLINT(-1.0f, 3.0f, parm, record, n, result);
  EXPECT_EQ(g_calls, 5);
  EXPECT_EQ(parm[0], 1.0f);
  EXPECT_NEAR(result, 4.0f, 8 * kEps);
}

TEST(GLINT, ExactForPolynomialsUpToDegree2NMinus1) {
  // Over [0, 1] the integral of x^d is 1/(d+1); the only error left is float rounding of the
  // abscissae, the integrand values and the running sum.
  for (const int n : NORDER) {
    for (int d = 0; d <= 2 * n - 1; ++d) {
      g_degree = d;
      g_calls = 0;
      std::array<float, 1> parm{};
      float result = 0.0f;
      GLINT(0.0f, 1.0f, parm, monomial, n, result);
      EXPECT_NEAR(result, 1.0 / (d + 1), (4.0 + d) * kEps) << "N = " << n << ", degree " << d;
      EXPECT_EQ(g_calls, n);
    }
  }
}

TEST(GLINT, FirstInexactDegreeHasTheKnownError) {
  // For x^(2N) on [0, 1] the rule falls short by (N!)^4 / ((2N+1) ((2N)!)^2); for small N
  // this is far above rounding, so it pins down the order the tables really implement.
  for (const int n : {3, 4, 5}) {
    double nf = 1, n2f = 1;
    for (int i = 2; i <= n; ++i)
      nf *= i;
    for (int i = 2; i <= 2 * n; ++i)
      n2f *= i;
    const double shortfall = std::pow(nf, 4) / ((2 * n + 1) * n2f * n2f);
    g_degree = 2 * n;
    std::array<float, 1> parm{};
    float result = 0.0f;
    GLINT(0.0f, 1.0f, parm, monomial, n, result);
    EXPECT_NEAR(result, 1.0 / (2 * n + 1) - shortfall, 8 * kEps) << "N = " << n;
  }
}

TEST(GLINT, ReversedLimitsNegate) {
  std::array<float, 2> parm = {0.0f, 3.0f};
  float forward = 0.0f, backward = 0.0f;
  const int n = 7;
  GLINT(-0.5f, 2.0f, parm, scaled_square, n, forward);
  GLINT(2.0f, -0.5f, parm, scaled_square, n, backward);
  EXPECT_NEAR(forward, 3.0f * (8.0f + 0.125f) / 3.0f, 8 * kEps * 8.125f);
  EXPECT_NEAR(backward, -forward, 2 * kEps * forward);
  EXPECT_EQ(parm[1], 3.0f);
}

// Independent check of every table entry: recompute each rule by Newton's method on P_N in
// long double and require the table to hold the float nearest to it.
TEST(GLINT, TablesHoldCorrectlyRoundedNodesAndWeights) {
  for (std::size_t r = 0; r < NORDER.size(); ++r) {
    const int n = NORDER[r];
    const int odd = n % 2;
    const auto legendre = [n](long double x, long double &dp) {
      long double p0 = 1, p1 = x;
      for (int k = 1; k < n; ++k) {
        const long double p2 = ((2 * k + 1) * x * p1 - k * p0) / (k + 1);
        p0 = p1;
        p1 = p2;
      }
      dp = n * (x * p1 - p0) / (x * x - 1);
      return p1;
    };
    if (odd == 1) {
      long double dp = 0;
      legendre(0.0L, dp);
      EXPECT_EQ(WEIGHT[static_cast<std::size_t>(IWGT[r] - 1)], static_cast<float>(2 / (dp * dp)))
          << "N = " << n << " zero abscissa";
    }
    for (int i = 1; i <= n / 2; ++i) {
      // i-th largest root: Tricomi's estimate refined by Newton.
      long double x = std::cos(3.14159265358979323846264L * (i - 0.25L) / (n + 0.5L));
      long double dp = 0;
      for (int it = 0; it < 50; ++it)
        x -= legendre(x, dp) / dp;
      legendre(x, dp);
      const std::size_t pos = static_cast<std::size_t>(n / 2 - i); // ascending within the run
      EXPECT_EQ(NODE[static_cast<std::size_t>(INODE[r] - 1) + pos], static_cast<float>(x))
          << "N = " << n << " node " << pos;
      EXPECT_EQ(WEIGHT[static_cast<std::size_t>(IWGT[r] - 1 + odd) + pos],
                static_cast<float>(2 / ((1 - x * x) * dp * dp)))
          << "N = " << n << " weight " << pos;
    }
  }
}

} // namespace
} // namespace kelvor::numeric
