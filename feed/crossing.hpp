// The first point at which a function falls through zero: the common step of the beamwidth (the
// angle at which the pattern first falls to a level) and the design (the aperture at which it
// does so at a given angle).
#pragma once

#include <functional>

namespace kelvor::feed {

// The first x in (x_start, x_end] at which excess(x), positive at x_start, reaches zero, to the
// relative tolerance rel_tol (|x_found - x| <= rel_tol |x|); NaN when excess stays positive.
// excess is sampled every step; a sampled local minimum between two samples is searched with
// Brent's minimiser, so that a dip below zero narrower than a step is not passed over; the
// bracket is then closed with TOMS 748 (both from Boost.Math). excess must be finite.
double first_fall(const std::function<double(double)> &excess, double x_start, double x_end,
                  double step, double rel_tol);

} // namespace kelvor::feed
