// Beamwidth of the horn's own pattern at any level, in double precision.
#pragma once

#include "feed/failure.hpp"
#include "feed/pattern.hpp"
#include "feed/solver_limits.hpp"
#include "feed/validity.hpp"

namespace kelvor::feed {

struct Beamwidth {
  double full_width_deg = kNaN; // twice the angle at which the level is first reached
  Failure failure = Failure::none;
  Validity validity = Validity::valid; // of the horn at the frequency (feed/validity.hpp)
};

// The highest level (dB) a beamwidth is sought at: far below any level the quadrature resolves.
inline constexpr double kMaxBeamwidthLevelDb = 300;

// The full angle (degrees) at which the pattern (HornPattern: aperture integral times the
// obliquity factor, relative to the axis) first falls to -level_db, level_db > 0. The angle is
// found by a scan from the axis in steps of at most 1 degree and 0.2 / (k a) radians (a fifth of
// a radian of u = k a sin theta: a main lobe is about pi wide in u), then TOMS 748 to
// limits.root_rel_tol (1e-10) relative, so the width holds to 1e-6 relative well inside the
// pattern's own accuracy.
// The obliquity factor takes every pattern to zero at 180 degrees, so a finite level is always
// reached; level_db not finite and positive, or above kMaxBeamwidthLevelDb, gives
// Failure::invalid_input, a pattern that never falls to the level Failure::level_not_reached,
// and a solver out of iterations Failure::not_converged, each with a NaN width. The pattern's
// own failure (too_much_work beyond kMaxApertureTurn among them) passes through.
Beamwidth pattern_beamwidth(const HornPattern &pattern, double level_db,
                            const SolverLimits &limits = {});
Beamwidth pattern_beamwidth(const Horn &horn, double freq_ghz, double level_db,
                            const SolverLimits &limits = {});

} // namespace kelvor::feed
