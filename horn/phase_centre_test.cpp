#include "horn/phase_centre.hpp"

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

TEST(CHPCT, DocumentedPhaseCentres) {
  struct Case {
    const char *label;
    float srad, bwdeg;
    std::string printed;
  };
  // 10 GHz, aperture radius two wavelengths.
  const Case cases[] = {
      {"s = 0.25", 9.44228f, 20.0f, "1.173"},
      {"s = 0.25, negative beamwidth", 9.44228f, -20.0f, "1.173"},
      {"s = 0.1", 23.6057f, 20.0f, "0.472"},
  };
  for (const Case &c : cases) {
    float pctr = 0.0f;
    CHPCT(10.0f, 2.36057f, c.srad, c.bwdeg, pctr);
    EXPECT_EQ(as_printed(pctr, c.printed), c.printed) << c.label;
  }
}

TEST(CHPCT, SignOfBeamwidthDoesNotMatter) {
  for (const float bw : {20.0f, 180.0f, 7.5f}) {
    float plus = 0, minus = 0;
    CHPCT(10.0f, 2.36057f, 9.44228f, bw, plus);
    CHPCT(10.0f, 2.36057f, 9.44228f, -bw, minus);
    EXPECT_EQ(plus, minus) << bw;
  }
}

TEST(CHPCT, FlatPhaseAndZeroBeamwidth) {
  float pctr = 1.0f;
  CHPCT(10.0f, 2.36057f, kInf, 20.0f, pctr);
  EXPECT_EQ(pctr, 0.0f);
  CHPCT(10.0f, 2.36057f, 9.44228f, 0.0f, pctr);
  EXPECT_TRUE(std::isnan(pctr));
}

// The phase centre from a continuously tracked phase (double-precision pattern, 400 steps to
// the beam edge) against CHPCT's five samples. The last two cases cross +-180 degrees between
// samples, so they pass only if the samples are unwrapped (a missed turn is an error of 360
// degrees). The tolerance is that of the 16-point rule: at s = 2.5 with u up to 18 the integrand
// oscillates fast enough that it differs from the exact integral by about 2e-5 relative.
TEST(CHPCT, AgainstContinuouslyUnwrappedPhase) {
  struct Case {
    double s, a, bwdeg;
  };
  for (const Case c : {Case{0.25, 2, 20}, Case{0.5, 2, 30}, Case{1.0, 4, 60}, Case{2.5, 4, 90}}) {
    const double theta_edge = c.bwdeg / 2 * std::numbers::pi / 180;
    double total = 0;
    double previous = 0;
    for (int i = 0; i <= 400; ++i) {
      const double u = 2 * std::numbers::pi * c.a * std::sin(theta_edge * i / 400);
      const double phase =
          std::arg(kelvor::testing::aperture_integral(u, c.s)) * 180 / std::numbers::pi;
      if (i > 0)
        total += std::remainder(phase - previous, 360.0);
      previous = phase;
    }
    const double want = total / ((1 - std::cos(theta_edge)) * 360);
    float pctr = 0;
    // lambda = 1 inch at 11.80285 GHz; s = a^2 / (2 R).
    CHPCT(numeric::CLIGHT, static_cast<float>(c.a), static_cast<float>(c.a * c.a / (2 * c.s)),
          static_cast<float>(c.bwdeg), pctr);
    EXPECT_NEAR(pctr, want, 1e-4 * std::fabs(want)) << "s " << c.s << " a " << c.a;
  }
}

// The five angles share one set of phase factors: CHPCT against CHPCTR (CCH11 at each angle),
// bit for bit, over random horns, frequencies and beamwidths.
TEST(CHPCT, BitForBitWithTheReferencePattern) {
  std::mt19937 gen(19);
  std::uniform_real_distribution<float> freq(0.5f, 60.0f), arad(0.2f, 10.0f), srad(1.0f, 100.0f),
      bwdeg(-120.0f, 120.0f);
  for (int n = 0; n < 5000; ++n) {
    const float f = freq(gen), a = arad(gen), r = srad(gen), bw = bwdeg(gen);
    float fast = 0, reference = 0;
    CHPCT(f, a, r, bw, fast);
    CHPCTR(f, a, r, bw, reference);
    ASSERT_PRED2(kelvor::testing::same_bits, fast, reference)
        << f << ' ' << a << ' ' << r << ' ' << bw;
  }
}

} // namespace
} // namespace kelvor::horn
