// Tolerances and iteration limits of the Boost.Math solvers the feed library calls. Every routine
// that runs a solver takes them (with these defaults) and reports Failure::not_converged when a
// solver uses its whole iteration limit: Boost returns its last bracket or point then, which must
// not pass for an answer.
#pragma once

#include <cstdint>

namespace kelvor::feed {

struct SolverLimits {
  // TOMS 748 (toms748_solve): the root's bracket is closed to this width relative to the root.
  double root_rel_tol = 1e-10;
  // Brent (brent_find_minima): bits of the abscissa, 26 about 1e-8 relative; Brent's method can
  // do no better than about half the digits of double in the abscissa of a smooth minimum.
  int minimum_bits = 26;
  // Iterations per call of either solver. Both converge in under 40 on the feed's functions.
  std::uintmax_t max_iterations = 100;
};

} // namespace kelvor::feed
