// A rotationally symmetric pattern sampled at the nodes of a composite Gauss-Legendre rule in
// the angle off the axis, for the integrals over the pattern (Silver's efficiencies, the phase
// centre fit). The samples are taken once; the feed-position searches then reuse them.
#pragma once

#include <complex>
#include <cstddef>
#include <functional>
#include <vector>

#include "numeric/composite_gauss.hpp"

namespace kelvor::feed {

// A complex far field of a rotationally symmetric feed against the angle theta off its axis
// (radians, 0..pi).
using FeedPattern = std::function<std::complex<double>(double theta_rad)>;

// Nodes in ascending angle with their quadrature weights (radians) and the pattern there.
struct AngularSamples {
  std::vector<double> theta_rad, weight_rad;
  std::vector<std::complex<double>> field;
};

// The pattern at the nodes of `panels` equal panels of the 20-point Gauss-Legendre rule
// (numeric::append_composite_gauss) over [lo, hi] radians, appended to `samples`.
void sample_pattern(const FeedPattern &pattern, double lo_rad, double hi_rad, std::size_t panels,
                    AngularSamples &samples);

} // namespace kelvor::feed
