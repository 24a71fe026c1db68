// Beamwidth of the horn's own pattern at any level, in double precision.
#pragma once

#include "feed/failure.hpp"
#include "feed/pattern.hpp"

namespace kelvor::feed {

struct Beamwidth {
  double full_width_deg = kNaN; // twice the angle at which the level is first reached
  Failure failure = Failure::none;
};

// The full angle (degrees) at which the pattern (HornPattern: aperture integral times the
// obliquity factor, relative to the axis) first falls to -level_db, level_db > 0. The angle is
// found by a scan from the axis in steps of at most 1 degree and 0.2 / (k a) radians (a fifth of
// a radian of u = k a sin theta: a main lobe is about pi wide in u), then TOMS 748 to 1e-9
// relative, so the width holds to 1e-6 relative well inside the pattern's own accuracy.
// The obliquity factor takes every pattern to zero at 180 degrees, so a finite level is always
// reached; level_db not finite and positive, or above 300, gives Failure::invalid_input, and a
// pattern that never falls to the level Failure::level_not_reached, each with a NaN width.
Beamwidth pattern_beamwidth(const HornPattern &pattern, double level_db);
Beamwidth pattern_beamwidth(const Horn &horn, double freq_ghz, double level_db);

} // namespace kelvor::feed
