// Difference of two angles in degrees, reduced to -180 ... 180.
#pragma once

namespace kelvor::numeric {

// ANG1 - ANG2 for inputs in -180 ... 180, with at most one correction by 360 so that the
// result lies in -180 ... 180; an exact half-turn keeps the sign of the plain difference.
float RELA(const float &ANG1, const float &ANG2);

} // namespace kelvor::numeric
