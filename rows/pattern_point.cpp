#include "rows/pattern_point.hpp"

#include <cmath>

#include "horn/pattern.hpp"
#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::rows {

using numeric::kDegToRad;
using numeric::rounded;
// The pattern routine's own dB per neper, so that a relative level is the
// difference of two levels on one scale.
using numeric::kDbPerNeperPattern;

float axis_level(const PatternRequest &request) {
  const float on_axis = 0.0f;
  float level = 0.0f;
  float phase = 0.0f;
  horn::CCH11F(request.FREQ, request.ARAD, request.SRAD, on_axis, level, phase);
  return level;
}

PatternPoint pattern_point(const PatternRequest &request, float axis, float THETA) {
  PatternPoint p;
  p.THETA = THETA;
  const float theta = rounded(static_cast<double>(kDegToRad) * THETA);
  float level = 0.0f;
  horn::CCH11F(request.FREQ, request.ARAD, request.SRAD, theta, level, p.PHASE);
  const double obliquity =
      request.obliquity
          ? std::log((1 + std::cos(static_cast<double>(theta))) / 2) * kDbPerNeperPattern
          : 0.0;
  p.LEVEL = rounded(static_cast<double>(level) - axis + obliquity);
  return p;
}

} // namespace kelvor::rows
