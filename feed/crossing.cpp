// First zero crossing: a scan, Brent's minimiser at sampled minima, TOMS 748 on the bracket.
#include "feed/crossing.hpp"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "feed/units.hpp"

namespace kelvor::feed {

namespace {

constexpr std::uintmax_t kMaxIterations = 100;

// The root of excess in [lo, hi], where excess(lo) > 0 >= excess(hi).
double close_bracket(const std::function<double(double)> &excess, double lo, double hi, double f_lo,
                     double f_hi, double rel_tol) {
  if (f_hi == 0)
    return hi;
  std::uintmax_t iterations = kMaxIterations;
  const auto tolerance = [rel_tol](double a, double b) {
    return std::fabs(b - a) <= rel_tol * std::min(std::fabs(a), std::fabs(b));
  };
  const auto [a, b] =
      boost::math::tools::toms748_solve(excess, lo, hi, f_lo, f_hi, tolerance, iterations);
  return (a + b) / 2;
}

// The lowest point of excess in [lo, hi] by Brent's method, to about 1e-8 relative.
std::pair<double, double> lowest(const std::function<double(double)> &excess, double lo,
                                 double hi) {
  constexpr int bits = 26;
  std::uintmax_t iterations = kMaxIterations;
  return boost::math::tools::brent_find_minima(excess, lo, hi, bits, iterations);
}

} // namespace

double first_fall(const std::function<double(double)> &excess, double x_start, double x_end,
                  double step, double rel_tol) {
  double x0 = x_start; // two samples back
  double f0 = excess(x0);
  double x1 = x0;
  double f1 = f0;
  while (x1 < x_end) {
    const double x2 = std::min(x1 + step, x_end);
    const double f2 = excess(x2);
    if (f2 <= 0)
      return close_bracket(excess, x1, x2, f1, f2, rel_tol);
    // A sampled minimum at x1: the function may dip below zero between x0 and x2.
    if (x1 > x0 && f1 < f0 && f1 <= f2) {
      const auto [x_min, f_min] = lowest(excess, x0, x2);
      if (f_min <= 0)
        return close_bracket(excess, x0, x_min, f0, f_min, rel_tol);
    }
    x0 = x1;
    f0 = f1;
    x1 = x2;
    f1 = f2;
  }
  return kNaN;
}

} // namespace kelvor::feed
