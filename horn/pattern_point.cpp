// A point of a pattern cut through the fast pattern integral CCH11F: the angle to radians
// rounded once, the level difference and the obliquity loss summed in double and rounded once.
#include "horn/pattern_point.hpp"

#include <algorithm>
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

namespace {

// The obliquity loss in dB on the pattern routine's scale, where the request includes it.
double obliquity_db(const PatternRequest &request, float theta) {
  return request.obliquity ? std::log(obliquity_factor(double{theta})) * kDbPerNeperPattern : 0.0;
}

float radians(float THETA) {
  return rounded(double{kDegToRad} * THETA);
}

} // namespace

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
  const float theta = radians(THETA);
  float level = 0.0f;
  CCH11F(request.FREQ, request.ARAD, request.SRAD, theta, level, p.PHASE);
  p.LEVEL = rounded(double{level} - AXIS + obliquity_db(request, theta));
  return p;
}

void pattern_points(const PatternRequest &request, const HornPattern &shape, float AXIS,
                    std::span<const float> THETA, std::span<PatternPoint> out) {
  // A short group repeats its last angle in the unused lanes.
  const std::size_t count = std::min({kBatchAngles, THETA.size(), out.size()});
  if (count == 0)
    return;
  HornPattern::Angles theta{}, level{}, phase{};
  for (std::size_t a = 0; a < kBatchAngles; ++a)
    theta[a] = radians(THETA[std::min(a, count - 1)]);
  shape.points(theta, level, phase);
  for (std::size_t a = 0; a < count; ++a)
    out[a] = {THETA[a], rounded(double{level[a]} - AXIS + obliquity_db(request, theta[a])),
              phase[a]};
}

} // namespace kelvor::horn
