// Feeds for a dish: the horn that maximises the aperture efficiency of a paraboloid at a
// frequency or over a band.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "feed/horn_on_dish.hpp"

namespace kelvor::feed {

// A paraboloid of focal ratio f_over_d to be fed at the frequencies freq_ghz (one or a band).
// The horn's phase deviation S is taken at reference_freq_ghz (S grows with frequency for a
// given horn: S = a^2 f / (2 c R)); without one, at the middle of the band, (min + max) / 2.
struct DishRequest {
  double f_over_d = kNaN;
  std::span<const double> freq_ghz;
  std::optional<double> reference_freq_ghz;
};

// The reference frequency of the request: its own, or the middle of the band (NaN for no band).
double reference_freq_ghz(const DishRequest &request);

// The best horn of one phase deviation for the dish.
struct DishDesignRow {
  double phase_deviation = kNaN; // S, cycles, at the reference frequency
  double aperture_radius_m = kNaN;
  double slant_radius_m = kNaN; // a^2 / (2 lambda_ref S); infinite for S = 0
  // One feed position for every frequency: the focus's distance from the aperture plane toward
  // the apex (m), chosen to maximise the lowest aperture efficiency over the frequencies.
  double feed_position_m = kNaN;
  double aperture_efficiency = kNaN; // the lowest over the frequencies, at that position
  bool real_cone = false;            // R >= a
  Failure failure = Failure::none;
  // The first model limit the horn breaks at any of the frequencies (feed/validity.hpp).
  Validity validity = Validity::valid;
  // The radius search (or the feed-position search inside it) ended on its bound after widening
  // it: the efficiency may rise beyond, toward radii the row's validity usually excludes.
  bool optimum_on_bound = false;
};

// The work limit of a dish design: each pair of a row (a phase deviation) and a frequency costs
// about 40 HornOnDish (tens of milliseconds for the horns a dish calls for), so a request of
// more than kMaxDishDesignWork pairs is refused with too_much_work (a minute on two cores at
// most): 20 phase deviations over a band of 50 frequencies, or 1024 phase deviations at one.
inline constexpr std::size_t kMaxDishDesignWork = 1024;

// The aperture radius of phase deviation S that maximises the lowest aperture efficiency over
// the request's frequencies, each efficiency at the feed position best for the band: a scan of
// log a over 0.6 to 1.6 times the aperture that puts the edge illumination at -11 dB, widened by
// its own span (up to three times) while the best sample is an end, then Brent's minimiser
// (Boost.Math) around the best sample; inside it, the feed position is searched as
// HornOnDish::optimum does, over the window common to the frequencies, for the lowest
// efficiency. Failures (NaN numbers): invalid_input for an f/D or a frequency not finite and
// positive or no frequency; phase_deviation_out_of_range for S outside 0..2; not_converged when
// a solver runs out of iterations; too_much_work beyond kMaxDishDesignWork.
DishDesignRow design_for_dish(const DishRequest &request, double phase_deviation,
                              const SolverLimits &limits = {});

// One row for each S (on every core where oneTBB is built in), and the index of the row of
// the highest efficiency among the rows with an answer that are real cones and valid (none
// when there is no such row).
struct DishDesign {
  std::vector<DishDesignRow> rows;
  std::optional<std::size_t> best;
};
DishDesign design_for_dish(const DishRequest &request, std::span<const double> phase_deviation,
                           const SolverLimits &limits = {});

} // namespace kelvor::feed
