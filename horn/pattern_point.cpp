// A point of a pattern cut through the fast pattern integral CCH11F: the angle to radians
// rounded once, the level difference and the obliquity loss summed in double and rounded once.
#include "horn/pattern_point.hpp"

#include <cmath>

#include "horn/obliquity.hpp"
#include "horn/pattern.hpp"
#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::kDegToRad;
// The pattern routine's own dB per neper, so that a relative level is the difference of two
// levels on one scale.
using numeric::kDbPerNeperPattern;
using numeric::rounded;

float axis_level(const PatternRequest &request) {
  const float axis = 0.0f;
  float level = 0.0f;
  float phase = 0.0f;
  CCH11F(request.FREQ, request.ARAD, request.SRAD, axis, level, phase);
  return level;
}

PatternPoint pattern_point(const PatternRequest &request, float AXIS, float THETA) {
  PatternPoint p;
  p.THETA = THETA;
  const float theta = rounded(double{kDegToRad} * THETA);
  float level = 0.0f;
  CCH11F(request.FREQ, request.ARAD, request.SRAD, theta, level, p.PHASE);
  const double obliquity =
      request.obliquity ? std::log(obliquity_factor(double{theta})) * kDbPerNeperPattern : 0.0;
  p.LEVEL = rounded(double{level} - AXIS + obliquity);
  return p;
}

} // namespace kelvor::horn
