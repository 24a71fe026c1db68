// Feeds for a dish: the horn that maximises the aperture efficiency of a paraboloid at a
// frequency or over a band, and the efficiencies of a horn over a band.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "feed/dish.hpp"

namespace kelvor::feed {

// A paraboloid of focal ratio f_over_d to be fed at the frequencies freq_ghz (one or a band).
// The horn's phase deviation S is taken at reference_freq_ghz (S grows with frequency for a
// given horn: S = a^2 f / (2 c R)).
struct DishRequest {
  double f_over_d = kNaN;
  std::span<const double> freq_ghz;
  double reference_freq_ghz = kNaN;
};

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
};

// The aperture radius of phase deviation S that maximises the lowest aperture efficiency over
// the request's frequencies, each efficiency at the feed position best for the band: Brent's
// minimiser (Boost.Math) in log a around the best of a scan from 0.6 to 1.6 times the aperture
// that puts the edge illumination at -11 dB, and inside it the same search in the feed position
// as HornOnDish::optimum for the lowest efficiency. Failures (NaN numbers): invalid_input for an
// f/D or a frequency not finite and positive or no frequency; phase_deviation_out_of_range for
// S outside 0..2.
DishDesignRow design_for_dish(const DishRequest &request, double phase_deviation);

// One row for each S (on every core where oneTBB is built in), and the index of the row of
// the highest efficiency (the size of rows when none has an answer).
struct DishDesign {
  std::vector<DishDesignRow> rows;
  std::size_t best = 0;
};
DishDesign design_for_dish(const DishRequest &request, std::span<const double> phase_deviation);

// The horn on the dish at each frequency (on every core where oneTBB is built in), with the
// feed at feed_position_m, or at each frequency's own optimum when that is NaN.
std::vector<DishEfficiency> dish_band(const Horn &horn, std::span<const double> freq_ghz,
                                      double f_over_d, double feed_position_m = kNaN);

} // namespace kelvor::feed
