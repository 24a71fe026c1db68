// The first point at which a function falls through zero: the common step of the beamwidth (the
// angle at which the pattern first falls to a level) and the design (the aperture at which it
// does so at a given angle).
#pragma once

#include <cstddef>
#include <functional>

#include "feed/failure.hpp"
#include "feed/solver_limits.hpp"
#include "feed/units.hpp"

namespace kelvor::feed {

// The scan steps a crossing may take: ample for a beamwidth of any horn within kMaxApertureTurn
// (about 12,000 steps) and for the design's scan (500); more is refused as too_much_work.
inline constexpr double kMaxCrossingSteps = 65536;

struct Fall {
  double x = kNaN;
  // none; level_not_reached when excess stays positive to x_end; not_converged when a solver
  // ran out of iterations; invalid_input for a step or range that is not finite and positive;
  // too_much_work beyond kMaxCrossingSteps.
  Failure failure = Failure::none;
};

// The first x in (x_start, x_end] at which excess(x), positive at x_start, reaches zero, to the
// relative tolerance limits.root_rel_tol (|x_found - x| <= tol |x|). excess is sampled every
// step; a sampled local minimum between two samples is searched with Brent's minimiser, so that
// a dip below zero narrower than a step is not passed over; the bracket is then closed with
// TOMS 748 (both from Boost.Math, each checked against limits.max_iterations). excess must be
// finite.
Fall first_fall(const std::function<double(double)> &excess, double x_start, double x_end,
                double step, const SolverLimits &limits = {});

} // namespace kelvor::feed
