// Phase centre of a corrugated horn: the point source behind the aperture whose far-field phase
// 360 (d/lambda)(1 - cos theta) matches the pattern phase change from the axis to the beam edge.
// The pattern phase is sampled at five angles out to half the beamwidth and unwrapped.
#include "horn/phase_centre.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "horn/pattern.hpp"
#include "numeric/constants.hpp"
#include "numeric/rela.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::kDegToRad;
using numeric::rounded;

namespace {

// The sample angles: 0, 1/8, 1/4, 3/8 and 1/2 of the full beamwidth.
constexpr std::size_t kSamples = 5;
using Samples = std::array<float, kSamples>;

// pattern(THETA, PHASE): the pattern phase of the horn at the sample angles THETA.
template <class Pattern>
void phase_centre(const float &BWDEG, float &PCTR, const Pattern &pattern) {
  // A zero beamwidth leaves no beam edge to fit (the divisor below would vanish).
  if (BWDEG == 0.0f) {
    PCTR = std::numeric_limits<float>::quiet_NaN();
    return;
  }
  // Only the total change from the axis to the edge enters the result, the middle samples keep
  // each step below a half-turn.
  const float step = rounded(double{kDegToRad} * BWDEG / 8);
  Samples theta{};
  for (std::size_t i = 1; i < kSamples; ++i)
    theta[i] = rounded(static_cast<double>(i) * step);
  Samples phase{};
  pattern(theta, phase);
  float total = 0.0f;
  for (std::size_t i = 1; i < kSamples; ++i)
    total = rounded(double{total} + numeric::RELA(phase[i], phase[i - 1]));
  // Degrees to cycles (/360), cycles to wavelengths of depth (/(1 - cos theta_edge)), with the
  // edge angle taken afresh from the beamwidth.
  PCTR = rounded(double{total} / ((1 - std::cos(double{kDegToRad} * BWDEG / 2)) * 360));
}

} // namespace

// The five angles share the horn's phase factors, the four off the axis run side by side, and
// only their phases are formed.
void CHPCT(const float &FREQ, const float &ARAD, const float &SRAD, const float &BWDEG,
           float &PCTR) {
  const HornPattern horn(FREQ, ARAD, SRAD);
  phase_centre(BWDEG, PCTR, [&horn](const Samples &THETA, Samples &PHASE) {
    static_assert(kSamples == 1 + kBatchAngles);
    float level = 0.0f;
    horn.point(THETA[0], level, PHASE[0]);
    HornPattern::Angles theta{};
    std::copy(THETA.begin() + 1, THETA.end(), theta.begin());
    const HornPattern::Angles phase = horn.phases(theta);
    std::copy(phase.begin(), phase.end(), PHASE.begin() + 1);
  });
}

void CHPCTR(const float &FREQ, const float &ARAD, const float &SRAD, const float &BWDEG,
            float &PCTR) {
  phase_centre(BWDEG, PCTR, [&](const Samples &THETA, Samples &PHASE) {
    float level = 0.0f;
    for (std::size_t i = 0; i < kSamples; ++i)
      CCH11(FREQ, ARAD, SRAD, THETA[i], level, PHASE[i]);
  });
}

} // namespace kelvor::horn
