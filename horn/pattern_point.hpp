// Points of a horn's far-field pattern cut, relative to its level on the axis.
#pragma once

#include <span>

#include "horn/pattern.hpp"

namespace kelvor::horn {

// A horn (radii in inches) at FREQ GHz.
struct PatternRequest {
  float FREQ = 0, ARAD = 0, SRAD = 0;
  // Multiply the aperture pattern by the obliquity factor (1 + cos theta) / 2, the far field
  // of the aperture's Huygens sources; the beamwidth rules include it.
  bool obliquity = true;
};

// One point of a pattern cut: the angle off the axis (degrees), the level relative to the
// on-axis level (dB, 0 on the axis, negative off it) and the pattern phase (degrees, -180 to
// 180).
struct PatternPoint {
  float THETA = 0, LEVEL = 0, PHASE = 0;
};

// The level (dB, absolute) of the horn's pattern on the axis, the reference of a cut.
float axis_level(const PatternRequest &request);

// The pattern point at THETA degrees, its level taken relative to AXIS, the horn's axis_level.
PatternPoint pattern_point(const PatternRequest &request, float AXIS, float THETA);

// The points at up to kBatchAngles angles THETA (degrees) of the horn `shape`, made for
// `request`, computed side by side on its shared phase factors: out[i] is pattern_point(request,
// AXIS, THETA[i]) bit for bit. out is as long as THETA.
void pattern_points(const PatternRequest &request, const HornPattern &shape, float AXIS,
                    std::span<const float> THETA, std::span<PatternPoint> out);

} // namespace kelvor::horn
