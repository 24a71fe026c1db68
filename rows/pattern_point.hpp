// One point of a pattern cut, relative to the on-axis level: the arithmetic of a
// pattern row for every front-end, on the calling thread (rows/batch.hpp runs
// whole cuts on every core).
#pragma once

namespace kelvor::rows {

// One point of a pattern cut: the angle off the axis (degrees), the level
// relative to the on-axis level (dB, 0 on the axis, negative off it) and the
// pattern phase (degrees, -180 to 180).
struct PatternPoint {
  float THETA = 0, LEVEL = 0, PHASE = 0;
};

// A horn (radii in inches) at FREQ GHz.
struct PatternRequest {
  float FREQ = 0, ARAD = 0, SRAD = 0;
  // Multiply the aperture pattern by (1 + cos theta) / 2, the far field of the
  // aperture's Huygens sources; the beamwidth rules include it.
  bool obliquity = true;
};

// The pattern's absolute level (dB) on the axis, the reference of every point.
float axis_level(const PatternRequest &request);

// The point at THETA degrees off the axis; axis is axis_level(request).
PatternPoint pattern_point(const PatternRequest &request, float axis, float THETA);

} // namespace kelvor::rows
