#include "horn/pattern.hpp"

#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "numeric/constants.hpp"
#include "tests/support/aperture_reference.hpp"
#include "tests/support/test_support.hpp"

namespace kelvor::horn {
namespace {

using kelvor::testing::as_printed;
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(CCH11, DocumentedPatterns) {
  struct Case {
    const char *label;
    float srad, theta;
    std::string level, phase;
  };
  // 10 GHz, aperture radius two wavelengths.
  const Case cases[] = {
      {"s = 0.25 on the axis", 9.44228f, 0.0f, "-13.87", "-27.44"},
      {"s = 0.25 at 10 degrees", 9.44228f, 0.1745329f, "-17.04", "-21.03"},
      {"flat phase on the axis", kInf, 0.0f, "-13.32", "0.00"},
      {"flat phase just off the first null, above the floor", kInf, 0.45478f, "-114.06", "0.00"},
  };
  for (const Case &c : cases) {
    float level = 0.0f, phase = 1.0f;
    CCH11(10.0f, 2.36057f, c.srad, c.theta, level, phase);
    EXPECT_EQ(as_printed(level, c.level), c.level) << c.label;
    EXPECT_EQ(as_printed(phase, c.phase), c.phase) << c.label;
  }
}

TEST(CCH11, SymmetricInTheta) {
  for (const float theta : {0.01f, 0.1745329f, 0.5f, 1.2f}) {
    float l1 = 0, p1 = 0, l2 = 0, p2 = 0;
    CCH11(10.0f, 2.36057f, 9.44228f, theta, l1, p1);
    CCH11(10.0f, 2.36057f, 9.44228f, -theta, l2, p2);
    EXPECT_EQ(l1, l2) << theta;
    EXPECT_EQ(p1, p2) << theta;
  }
}

TEST(CCH11, FlatPhaseIsZeroAcrossTheMainBeam) {
  for (int d = 0; d <= 20; d += 2) {
    float level = 0, phase = 1;
    CCH11(10.0f, 2.36057f, kInf, static_cast<float>(d) * numeric::kDegToRad, level, phase);
    EXPECT_EQ(phase, 0.0f) << d << " degrees";
  }
}

TEST(CCH11, PatternNullReportsFloorLevel) {
  // With a flat phase the pattern is k0 J1(k0) J0(u) / (k0^2 - u^2): its first null is the
  // second zero of J0, u = 5.5200781. Lambda = 1 and a = 1 put it at sin(theta) = u / 2 pi.
  const float theta = static_cast<float>(std::asin(5.5200781 / (2 * std::numbers::pi)));
  float level = 0, phase = 1;
  CCH11(numeric::CLIGHT, 1.0f, kInf, theta, level, phase);
  EXPECT_EQ(level, -120.0f);
  EXPECT_EQ(phase, 0.0f);
}

// Level and phase against the aperture integral in double precision, compared as complex
// values: the float routine (16-point rule, float J0 and sums) is good to about 3e-8 absolute.
TEST(CCH11, AgainstDoublePrecisionIntegral) {
  const float freq = numeric::CLIGHT; // lambda = 1 inch
  const float arad = 2.0f;
  for (const double s : {0.0, 0.1, 0.25, 0.5, 0.75, 1.0}) {
    const float srad = s == 0 ? kInf : static_cast<float>(arad * arad / (2 * s));
    for (int d = 0; d <= 40; ++d) {
      const float theta = static_cast<float>(d * 0.5 * std::numbers::pi / 180);
      float level = 0, phase = 0;
      CCH11(freq, arad, srad, theta, level, phase);
      const double s_used = double{arad} * arad / (2 * double{srad});
      const double u = std::fabs(std::sin(double{theta})) * 2 * std::numbers::pi * arad;
      const std::complex<double> want = kelvor::testing::aperture_integral(u, s_used);
      const std::complex<double> got =
          std::polar(std::pow(10.0, level / 20.0), phase * std::numbers::pi / 180);
      EXPECT_LT(std::abs(got - want), 1e-7) << "s " << s << " theta " << d * 0.5 << " deg";
    }
  }
}

// Random cases of the fast-path comparison; the sanitizer build runs fewer.
#ifndef KELVOR_DIFFERENTIAL_CASES
#define KELVOR_DIFFERENTIAL_CASES 100000
#endif

struct PatternArgs {
  float freq, arad, srad, theta;
};

// CCH11F against the reference CCH11, LEVEL and PHASE compared as bit patterns; any NaN
// matches any NaN (which of two NaN operands an instruction passes on is the compiler's choice
// of operand order, not part of the value).
void expect_fast_is_reference(const PatternArgs &a) {
  float level = 0, phase = 0, fast_level = 1, fast_phase = 1;
  CCH11(a.freq, a.arad, a.srad, a.theta, level, phase);
  CCH11F(a.freq, a.arad, a.srad, a.theta, fast_level, fast_phase);
  ASSERT_PRED2(kelvor::testing::same_bits, fast_level, level)
      << a.freq << " GHz, a " << a.arad << ", R " << a.srad << ", theta " << a.theta;
  ASSERT_PRED2(kelvor::testing::same_bits, fast_phase, phase)
      << a.freq << " GHz, a " << a.arad << ", R " << a.srad << ", theta " << a.theta;
}

TEST(CCH11F, BitForBitAtEdgeArguments) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  constexpr float huge = std::numeric_limits<float>::max();
  constexpr float tiny = std::numeric_limits<float>::denorm_min();
  const PatternArgs cases[] = {
      {10.0f, 2.36057f, 9.44228f, 0.0f},  // on the axis, u = 0
      {10.0f, 2.36057f, 9.44228f, -0.0f}, // u = 0 from -0
      {10.0f, 2.36057f, kInf, 0.3f},      // flat phase, S = 0
      {10.0f, 2.36057f, kInf, 0.0f},      // both
      {10.0f, 0.0f, 9.44228f, 0.3f},      // no aperture: S = 0 and u = 0
      {10.0f, -0.0f, 9.44228f, 0.3f},     {nan, 2.0f, 10.0f, 0.1f},
      {10.0f, nan, 10.0f, 0.1f},          {10.0f, 2.0f, nan, 0.1f},
      {10.0f, 2.0f, 10.0f, nan},          {0.0f, 2.0f, 10.0f, 0.1f},   // infinite wavelength
      {-0.0f, 2.0f, 10.0f, 0.1f},         {-10.0f, 2.0f, 10.0f, 0.1f}, // negative u
      {10.0f, -2.0f, 10.0f, 0.1f},        {10.0f, 2.0f, 0.0f, 0.1f},   // infinite S
      {10.0f, 2.0f, -0.0f, 0.1f},         {10.0f, 2.0f, -10.0f, 0.1f},
      {huge, 2.0f, 10.0f, 0.1f}, // huge u and S
      {tiny, 2.0f, 10.0f, 0.1f},          {10.0f, huge, 10.0f, 0.1f},
      {10.0f, tiny, 10.0f, 0.1f},         {10.0f, 2.0f, huge, 0.1f},
      {10.0f, 2.0f, tiny, 0.1f},          {10.0f, 2.0f, 10.0f, huge},
      {10.0f, 2.0f, 10.0f, tiny},         {10.0f, 2.0f, 10.0f, kInf},
      {kInf, 2.0f, 10.0f, 0.1f},          {10.0f, -kInf, 10.0f, 0.1f},
      {11.80285f, 1.0f, kInf, 1.0f}, // pattern null region
  };
  for (const PatternArgs &c : cases)
    expect_fast_is_reference(c);
}

// Horns of 0.1 to 50 wavelengths, phase deviations 0 to 1.5 (a tenth of them flat), any angle:
// kernel arguments on both sides of J0's switch point, and the -120 dB floor at the nulls.
TEST(CCH11F, BitForBitAtRandomHorns) {
  std::mt19937 gen(10);
  std::uniform_real_distribution<double> log_freq(-1.0, 2.5), log_size(-1.0, 1.7);
  std::uniform_real_distribution<double> deviation(0.0, 1.5), angle(-3.2, 3.2);
  for (int n = 0; n < KELVOR_DIFFERENTIAL_CASES; ++n) {
    const double freq = std::pow(10.0, log_freq(gen));
    const double lambda = 11.80285 / freq;
    const double arad = lambda * std::pow(10.0, log_size(gen));
    const double s = n % 10 == 0 ? 0.0 : deviation(gen);
    const double srad = arad * arad / (2 * lambda * s);
    expect_fast_is_reference({static_cast<float>(freq), static_cast<float>(arad),
                              static_cast<float>(srad), static_cast<float>(angle(gen))});
  }
}

TEST(FX2, Integrand) {
  const float nan_block[3] = {0.5f, 0.0f, 0.0f};
  EXPECT_TRUE(std::isnan(FX2(nan_block))) << "block shorter than four";
  // At the rim the taper J0(2.4048255) vanishes to float accuracy; at the centre the weight rho.
  const std::array<float, 4> rim = {1.0f, 1.0f, 0.0f, 3.0f};
  EXPECT_NEAR(FX2(rim), 0.0f, 1e-6f);
  const std::array<float, 4> centre = {0.0f, 1.0f, 1.0f, 3.0f};
  EXPECT_EQ(FX2(centre), 0.0f);
  // Real and imaginary parts: cos and -sin of the rim phase times rho^2.
  const float rho = 0.5f, phi = 1.3f, u = 2.0f;
  const double amp =
      std::cyl_bessel_j(0.0, 2.4048255 * rho) * std::cyl_bessel_j(0.0, u * rho) * rho;
  const std::array<float, 4> re = {rho, phi, 0.0f, u};
  const std::array<float, 4> im = {rho, phi, 1.0f, u};
  EXPECT_NEAR(FX2(re), amp * std::cos(phi * rho * rho), 4e-7);
  EXPECT_NEAR(FX2(im), -amp * std::sin(phi * rho * rho), 4e-7);
}

} // namespace
} // namespace kelvor::horn
