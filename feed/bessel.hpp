// J0 in double precision from Boost.Math, evaluated in double: the default policy would
// promote to long double and cost several times as much for no accuracy the model needs.
#pragma once

#include <boost/math/special_functions/bessel.hpp>

#include "numeric/constants.hpp"

namespace kelvor::feed {

using DoublePolicy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

inline double bessel_j0(double x) {
  return boost::math::cyl_bessel_j(0, x, DoublePolicy());
}

// The first zero of J0: the balanced hybrid mode's field vanishes there, at the corrugated wall.
inline constexpr double kFirstZeroJ0 = numeric::kFirstZeroJ0Double;

} // namespace kelvor::feed
