// First zero crossing: a scan, Brent's minimiser at sampled minima, TOMS 748 on the bracket.
#include "feed/crossing.hpp"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kelvor::feed {

namespace {

// The root of excess in [lo, hi], where excess(lo) > 0 >= excess(hi).
Fall close_bracket(const std::function<double(double)> &excess, double lo, double hi, double f_lo,
                   double f_hi, const SolverLimits &limits) {
  if (f_hi == 0)
    return {hi, Failure::none};
  std::uintmax_t iterations = limits.max_iterations;
  const auto tolerance = [tol = limits.root_rel_tol](double a, double b) {
    return std::fabs(b - a) <= tol * std::min(std::fabs(a), std::fabs(b));
  };
  const auto [a, b] =
      boost::math::tools::toms748_solve(excess, lo, hi, f_lo, f_hi, tolerance, iterations);
  if (iterations >= limits.max_iterations)
    return {kNaN, Failure::not_converged};
  return {(a + b) / 2, Failure::none};
}

} // namespace

Fall first_fall(const std::function<double(double)> &excess, double x_start, double x_end,
                double step, const SolverLimits &limits) {
  if (!(std::isfinite(x_start) && std::isfinite(x_end) && step > 0 && x_end > x_start))
    return {kNaN, Failure::invalid_input};
  if (!((x_end - x_start) / step <= kMaxCrossingSteps))
    return {kNaN, Failure::too_much_work};
  double x0 = x_start; // two samples back
  double f0 = excess(x0);
  double x1 = x0;
  double f1 = f0;
  while (x1 < x_end) {
    const double x2 = std::min(x1 + step, x_end);
    const double f2 = excess(x2);
    if (f2 <= 0)
      return close_bracket(excess, x1, x2, f1, f2, limits);
    // A sampled minimum at x1: the function may dip below zero between x0 and x2.
    if (x1 > x0 && f1 < f0 && f1 <= f2) {
      std::uintmax_t iterations = limits.max_iterations;
      const auto [x_min, f_min] =
          boost::math::tools::brent_find_minima(excess, x0, x2, limits.minimum_bits, iterations);
      if (iterations >= limits.max_iterations)
        return {kNaN, Failure::not_converged};
      if (f_min <= 0)
        return close_bracket(excess, x0, x_min, f0, f_min, limits);
    }
    x0 = x1;
    f0 = f1;
    x1 = x2;
    f1 = f2;
  }
  return {kNaN, Failure::level_not_reached};
}

} // namespace kelvor::feed
