// The horn's own pattern on a prime-focus paraboloid: Silver's efficiencies at any feed position
// and at the best one, at one frequency or over a band.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "feed/dish_geometry.hpp"
#include "feed/failure.hpp"
#include "feed/feed_position.hpp"
#include "feed/pattern.hpp"
#include "feed/silver.hpp"
#include "feed/solver_limits.hpp"
#include "feed/validity.hpp"

namespace kelvor::feed {

// The dish as the horn illuminates it at one frequency.
struct DishEfficiency {
  Efficiencies efficiency;
  // The focus's distance from the horn's aperture plane toward the apex (m): the sign
  // convention of PhaseCentre; 0 puts the aperture plane at the focus.
  double feed_position_m = kNaN;
  double half_angle_deg = kNaN;       // theta0
  double feed_edge_level_db = kNaN;   // the horn's pattern at theta0, dB relative to its axis
  double space_attenuation_db = kNaN; // space_attenuation_db(theta0), the path to the rim
  double edge_illumination_db = kNaN; // at the rim relative to the vertex: the sum of the two
  Failure failure = Failure::none;
  Validity validity = Validity::valid; // of the horn at the frequency (feed/validity.hpp)
  // The search's best sample was an end of its window (feed_window): the optimum may lie beyond.
  bool optimum_on_bound = false;
};

// The horn's pattern on the dish of focal ratio f_over_d, sampled once (HornPattern, whole
// sphere) with panels_for(span, k a + 4 pi S + 2 pi) panels on each segment; then the
// efficiencies at any feed position, and the position of the highest aperture efficiency.
// Work: a horn beyond kMaxApertureTurn is refused (too_much_work) by its pattern; at that limit
// the sampling takes about 1,200 panels of 20 field values.
// Accuracy, measured by tripling the panel density (a from 0.4 to 20 wavelengths, S 0 to 2,
// f/D 0.25 to 3, the feed at the aperture plane and at the optimum): aperture efficiency and
// spillover change by less than 1e-13. Illumination and phase separately integrate |F|, which has
// a kink at a null of a real pattern (S = 0): where such a null lies inside the dish they change
// by up to 1e-3 (their product stays exact); elsewhere by less than 1e-13.
class HornOnDish {
public:
  HornOnDish(const Horn &horn, double freq_ghz, double f_over_d);

  Failure failure() const { return failure_; }
  // With the focus at feed_position_m from the aperture plane toward the apex; a position not
  // finite is invalid_input.
  DishEfficiency at(double feed_position_m) const;
  // At the feed position that maximises the aperture efficiency: the best of a scan of
  // feed_window (from the aperture plane to the apex) by Brent's minimiser.
  DishEfficiency optimum(const SolverLimits &limits = {}) const;
  // The fitted phase centre over 0..theta0 (m), the centre of the optimum's search.
  std::optional<double> fitted_phase_centre_m() const;
  // The width of the efficiency peak in feed position, one cycle of phase at the rim:
  // k d (1 - cos theta0) = 2 pi.
  double peak_width_m() const;
  // The search window of optimum().
  FeedWindow window() const;
  // The aperture efficiencies at the positions of a window, by one scan of the samples.
  std::vector<double> aperture_scan(const FeedWindow &window) const;

private:
  HornOnDish(const HornPattern &pattern, double f_over_d);

  double k_, theta0_, edge_level_db_, apex_m_;
  Failure failure_;
  Validity validity_;
  SilverIntegrals silver_;
};

// The axial distance (m) from the aperture plane to the apex of the horn's cone: sqrt(R^2 - a^2);
// infinite for a flat phase front, NaN for a cone that cannot exist (R < a).
double apex_distance_m(const Horn &horn);

// Both in one call: the efficiencies at feed_position_m, or at the optimum position without one.
DishEfficiency dish_efficiency(const Horn &horn, double freq_ghz, double f_over_d,
                               std::optional<double> feed_position_m = std::nullopt,
                               const SolverLimits &limits = {});

// The most frequencies or focal ratios one call of dish_band or dish_curve takes: each is one
// HornOnDish (up to seconds at the pattern's work limit, milliseconds for a horn of a few
// wavelengths), so a longer list is refused with too_much_work in every element.
inline constexpr std::size_t kMaxDishRows = 1024;

// The horn on the dish at each frequency (on every core where oneTBB is built in), with the
// feed at feed_position_m, or at each frequency's own optimum without one.
std::vector<DishEfficiency> dish_band(const Horn &horn, std::span<const double> freq_ghz,
                                      double f_over_d,
                                      std::optional<double> feed_position_m = std::nullopt,
                                      const SolverLimits &limits = {});

// The horn at one frequency on dishes of each focal ratio, each with the feed at its optimum.
std::vector<DishEfficiency> dish_curve(const Horn &horn, double freq_ghz,
                                       std::span<const double> f_over_d,
                                       const SolverLimits &limits = {});

} // namespace kelvor::feed
