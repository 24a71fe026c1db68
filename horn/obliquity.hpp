// The obliquity factor of a horn aperture's far field.
#pragma once

#include <cmath>

namespace kelvor::horn {

// (1 + cos theta) / 2 at theta radians off the axis: the far field of the aperture's Huygens
// sources (its electric and magnetic currents together) against that of the aperture field
// alone; 1 on the axis, 1/2 at 90 degrees. Kept in double: each caller takes it to dB on its own
// scale before the one rounding of the quantity it stores.
inline double obliquity_factor(double theta) {
  return (1 + std::cos(theta)) / 2;
}

} // namespace kelvor::horn
