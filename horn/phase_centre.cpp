// Phase centre of a corrugated horn: the point source behind the aperture whose far-field phase
// 360 (d/lambda)(1 - cos theta) matches the pattern phase change from the axis to the beam edge.
// The pattern phase is sampled at five angles out to half the beamwidth and unwrapped.
#include "horn/phase_centre.hpp"

#include <cmath>
#include <limits>

#include "horn/pattern.hpp"
#include "numeric/constants.hpp"
#include "numeric/rela.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::kDegToRad;
using numeric::rounded;

namespace {

// pattern(THETA, LEVEL, PHASE): the pattern of the horn at the frequency of the phase centre.
template <class Pattern>
void phase_centre(const float &BWDEG, float &PCTR, const Pattern &pattern) {
  // A zero beamwidth leaves no beam edge to fit (the divisor below would vanish).
  if (BWDEG == 0.0f) {
    PCTR = std::numeric_limits<float>::quiet_NaN();
    return;
  }
  // Samples at 0, 1/8, 1/4, 3/8 and 1/2 of the full beamwidth; only the total change from the
  // axis to the edge enters the result, the middle samples keep each step below a half-turn.
  const float step = rounded(double{kDegToRad} * BWDEG / 8);
  float level = 0.0f;
  float previous = 0.0f;
  const float axis = 0.0f;
  pattern(axis, level, previous);
  float total = 0.0f;
  for (int i = 1; i <= 4; ++i) {
    const float theta = rounded(static_cast<double>(i) * step);
    float phase = 0.0f;
    pattern(theta, level, phase);
    total = rounded(double{total} + numeric::RELA(phase, previous));
    previous = phase;
  }
  // Degrees to cycles (/360), cycles to wavelengths of depth (/(1 - cos theta_edge)), with the
  // edge angle taken afresh from the beamwidth.
  PCTR = rounded(double{total} / ((1 - std::cos(double{kDegToRad} * BWDEG / 2)) * 360));
}

} // namespace

// The five angles share the horn's phase factors.
void CHPCT(const float &FREQ, const float &ARAD, const float &SRAD, const float &BWDEG,
           float &PCTR) {
  const HornPattern horn(FREQ, ARAD, SRAD);
  phase_centre(BWDEG, PCTR, [&horn](const float &THETA, float &LEVEL, float &PHASE) {
    horn.point(THETA, LEVEL, PHASE);
  });
}

void CHPCTR(const float &FREQ, const float &ARAD, const float &SRAD, const float &BWDEG,
            float &PCTR) {
  phase_centre(BWDEG, PCTR, [&](const float &THETA, float &LEVEL, float &PHASE) {
    CCH11(FREQ, ARAD, SRAD, THETA, LEVEL, PHASE);
  });
}

} // namespace kelvor::horn
