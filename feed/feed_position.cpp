#include "feed/feed_position.hpp"

#include <boost/math/tools/minima.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kelvor::feed {

namespace {

constexpr double kStepsPerWidth = 8; // samples per peak width: the peak is resolved

} // namespace

FeedWindow feed_window(double centre_m, double width_m, double apex_m) {
  const double step = width_m / kStepsPerWidth;
  double lo = centre_m - width_m, hi = centre_m + width_m;
  if (std::isfinite(apex_m)) {
    lo = std::min(0.0, centre_m) - width_m;
    hi = std::max(apex_m, centre_m) + width_m;
  }
  const double samples = std::floor((hi - lo) / step) + 1;
  if (samples <= static_cast<double>(kMaxFeedScan))
    return {lo, step, static_cast<std::size_t>(samples), false};
  const double half = static_cast<double>(kMaxFeedScan / 2);
  return {centre_m - half * step, step, kMaxFeedScan, true};
}

FeedPosition best_feed_position(const std::function<double(double)> &efficiency,
                                const FeedWindow &window, std::span<const double> scanned,
                                const SolverLimits &limits) {
  if (scanned.empty())
    return {kNaN, Failure::invalid_input};
  const auto top = std::max_element(scanned.begin(), scanned.end());
  const auto j = static_cast<double>(top - scanned.begin());
  const double best = window.first_m + j * window.step_m;
  const auto loss = [&](double d) { return -efficiency(d); };
  std::uintmax_t iterations = limits.max_iterations;
  const auto [d, l] = boost::math::tools::brent_find_minima(
      loss, best - window.step_m, best + window.step_m, limits.minimum_bits, iterations);
  FeedPosition p;
  p.on_bound = top == scanned.begin() || top + 1 == scanned.end();
  if (iterations >= limits.max_iterations)
    p.failure = Failure::not_converged;
  else
    p.position_m = l <= -*top ? d : best;
  return p;
}

FeedPosition best_feed_position(const std::function<double(double)> &efficiency, double start_m,
                                double width_m, const SolverLimits &limits) {
  if (!(std::isfinite(start_m) && std::isfinite(width_m) && width_m > 0))
    return {kNaN, Failure::invalid_input};
  const FeedWindow window = feed_window(start_m, width_m, kInfinity);
  std::vector<double> scanned(window.count);
  for (std::size_t i = 0; i < window.count; ++i)
    scanned[i] = efficiency(window.first_m + static_cast<double>(i) * window.step_m);
  return best_feed_position(efficiency, window, scanned, limits);
}

} // namespace kelvor::feed
