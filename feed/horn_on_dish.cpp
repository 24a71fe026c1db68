// The horn on the dish: its pattern sampled once for Silver's integrals, the efficiencies at a
// feed position, and the search for the best position.
#include "feed/horn_on_dish.hpp"

#include <cmath>

#include "feed/parallel.hpp"
#include "feed/phase_centre.hpp"

namespace kelvor::feed {

namespace {

// The horn's pattern sampled on the dish; a placeholder (no samples of note) when the request
// is invalid, so that every member is defined.
SilverIntegrals sample_horn(const HornPattern &pattern, double theta0, bool valid) {
  if (!valid)
    return SilverIntegrals([](double) { return std::complex<double>(0); }, 1.0, 1.0);
  // The pattern changes on the scale of 1 / (k a) in angle; the quadratic aperture phase and one
  // cycle of feed-position phase per radian add their turns.
  const double turn = pattern.ka() + 4 * kPi * pattern.phase_deviation() + 2 * kPi;
  return SilverIntegrals([&](double theta) { return pattern.field(theta); }, theta0,
                         [turn](double span) { return panels_for(span, turn); });
}

Failure dish_failure(const HornPattern &pattern, double f_over_d) {
  return pattern.failure() != Failure::none ? pattern.failure() : check_f_over_d(f_over_d);
}

std::vector<DishEfficiency> refused(std::size_t n) {
  DishEfficiency d;
  d.failure = Failure::too_much_work;
  return std::vector<DishEfficiency>(n, d);
}

} // namespace

double apex_distance_m(const Horn &horn) {
  const double a = horn.aperture_radius_m, R = horn.slant_radius_m;
  return R >= a ? std::sqrt((R - a) * (R + a)) : kNaN;
}

HornOnDish::HornOnDish(const Horn &horn, double freq_ghz, double f_over_d)
    : HornOnDish(HornPattern(horn, freq_ghz), f_over_d) {}

HornOnDish::HornOnDish(const HornPattern &pattern, double f_over_d)
    : k_(pattern.wavenumber_per_m()), theta0_(dish_half_angle_rad(f_over_d)),
      edge_level_db_(pattern.level_db(theta0_)), apex_m_(apex_distance_m(pattern.horn())),
      failure_(dish_failure(pattern, f_over_d)),
      validity_(model_validity(pattern.horn(), pattern.freq_ghz())),
      silver_(sample_horn(pattern, theta0_, failure_ == Failure::none)) {}

DishEfficiency HornOnDish::at(double feed_position_m) const {
  DishEfficiency d;
  d.failure = failure_;
  if (d.failure == Failure::none && !std::isfinite(feed_position_m))
    d.failure = Failure::invalid_input;
  if (d.failure != Failure::none)
    return d;
  d.validity = validity_;
  d.efficiency = silver_.at(k_ * feed_position_m);
  d.feed_position_m = feed_position_m;
  d.half_angle_deg = theta0_ / kDegree;
  d.feed_edge_level_db = edge_level_db_;
  d.space_attenuation_db = space_attenuation_db(theta0_);
  d.edge_illumination_db = d.feed_edge_level_db + d.space_attenuation_db;
  return d;
}

std::optional<double> HornOnDish::fitted_phase_centre_m() const {
  if (failure_ != Failure::none)
    return std::nullopt;
  return fitted_phase_centre(silver_.samples(), silver_.inside(), k_);
}

double HornOnDish::peak_width_m() const {
  return 2 * kPi / (k_ * (1 - std::cos(theta0_)));
}

FeedWindow HornOnDish::window() const {
  return feed_window(fitted_phase_centre_m().value_or(0), peak_width_m(), apex_m_);
}

std::vector<double> HornOnDish::aperture_scan(const FeedWindow &window) const {
  return silver_.aperture_scan(k_ * window.first_m, k_ * window.step_m, window.count);
}

DishEfficiency HornOnDish::optimum(const SolverLimits &limits) const {
  if (failure_ != Failure::none)
    return at(kNaN);
  const FeedWindow w = window();
  const auto efficiency = [this](double d) { return silver_.at(k_ * d).aperture; };
  const FeedPosition p = best_feed_position(efficiency, w, aperture_scan(w), limits);
  DishEfficiency d;
  d.failure = p.failure;
  if (p.failure == Failure::none)
    d = at(p.position_m);
  d.optimum_on_bound = p.on_bound;
  return d;
}

DishEfficiency dish_efficiency(const Horn &horn, double freq_ghz, double f_over_d,
                               std::optional<double> feed_position_m, const SolverLimits &limits) {
  const HornOnDish dish(horn, freq_ghz, f_over_d);
  return feed_position_m ? dish.at(*feed_position_m) : dish.optimum(limits);
}

std::vector<DishEfficiency> dish_band(const Horn &horn, std::span<const double> freq_ghz,
                                      double f_over_d, std::optional<double> feed_position_m,
                                      const SolverLimits &limits) {
  if (freq_ghz.size() > kMaxDishRows)
    return refused(freq_ghz.size());
  std::vector<DishEfficiency> out(freq_ghz.size());
  for_each_index(freq_ghz.size(), [&](std::size_t i) {
    out[i] = dish_efficiency(horn, freq_ghz[i], f_over_d, feed_position_m, limits);
  });
  return out;
}

std::vector<DishEfficiency> dish_curve(const Horn &horn, double freq_ghz,
                                       std::span<const double> f_over_d,
                                       const SolverLimits &limits) {
  if (f_over_d.size() > kMaxDishRows)
    return refused(f_over_d.size());
  std::vector<DishEfficiency> out(f_over_d.size());
  for_each_index(f_over_d.size(), [&](std::size_t i) {
    out[i] = dish_efficiency(horn, freq_ghz, f_over_d[i], std::nullopt, limits);
  });
  return out;
}

} // namespace kelvor::feed
