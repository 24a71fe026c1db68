// The search for the feed position of the highest aperture efficiency: a scan of a window of
// positions, then Brent's minimiser (Boost.Math) between the best sample's neighbours.
#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "feed/failure.hpp"
#include "feed/solver_limits.hpp"
#include "feed/units.hpp"

namespace kelvor::feed {

// Positions first_m + i step_m, i < count (m, from the aperture plane toward the apex).
struct FeedWindow {
  double first_m = 0, step_m = 0;
  std::size_t count = 0;
  bool clipped = false; // the window was cut to kMaxFeedScan samples about the centre
};

// The samples a window may hold: enough for a window 512 peak widths long, which covers the
// aperture-to-apex distance of any horn of S >= 0.05 up to an aperture of 100 wavelengths on a
// dish of f/D down to 0.25; each sample costs a few multiplications per pattern sample inside the
// dish (SilverIntegrals::aperture_scan), so a full window costs milliseconds.
inline constexpr std::size_t kMaxFeedScan = 4097;

// The window for a horn whose power-weighted phase centre over the dish is centre_m, whose
// efficiency peak is width_m wide (one cycle of rim phase) and whose apex lies apex_m behind the
// aperture plane (infinite for a flat phase front, NaN when unknown): from the aperture plane
// and the centre, whichever is nearer the dish, less a width, to the apex and the centre,
// whichever is farther, plus a width (a narrow beam on a wide dish can peak far from the
// centre: for a = 15 lambda, S = 0.25 and f/D 0.4, at 135 wavelengths behind the aperture, the
// fitted centre at 76), in steps of width_m / 8; without a finite apex, the centre plus or minus
// a width. Cut to kMaxFeedScan samples about the centre (clipped) where longer.
FeedWindow feed_window(double centre_m, double width_m, double apex_m);

struct FeedPosition {
  double position_m = kNaN;
  // none; not_converged when Brent runs out of iterations.
  Failure failure = Failure::none;
  // The best sample was an end of the window: the optimum may lie beyond it.
  bool on_bound = false;
};

// The position that maximises efficiency(d), given the efficiencies `scanned` at the window's
// positions: Brent's minimiser (limits.minimum_bits, about 1e-8 relative) between the
// neighbours of the best sample; the best sample itself where Brent finds nothing better.
FeedPosition best_feed_position(const std::function<double(double)> &efficiency,
                                const FeedWindow &window, std::span<const double> scanned,
                                const SolverLimits &limits = {});

// The same over 17 samples spaced width_m / 8 about start_m, each computed by efficiency.
FeedPosition best_feed_position(const std::function<double(double)> &efficiency, double start_m,
                                double width_m, const SolverLimits &limits = {});

} // namespace kelvor::feed
