// Silver's aperture-efficiency integrals on a sampled feed pattern, and the horn on the dish.
#include "feed/dish.hpp"

#include <boost/math/tools/minima.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "feed/phase_centre.hpp"

namespace kelvor::feed {

double dish_half_angle_rad(double f_over_d) {
  return 2 * std::atan(1 / (4 * f_over_d));
}

SilverIntegrals::SilverIntegrals(const FeedPattern &pattern, double half_angle_rad,
                                 double panels_per_radian)
    : SilverIntegrals(pattern, half_angle_rad, [panels_per_radian](double span) {
        return 1 + static_cast<std::size_t>(span * panels_per_radian);
      }) {}

void SilverIntegrals::sample(const FeedPattern &pattern, std::size_t p0, std::size_t p1,
                             std::size_t p2) {
  const double mid = kPi / 2;
  const double lo = std::min(theta0_, mid);
  const double hi = std::max(theta0_, mid);
  sample_pattern(pattern, 0, lo, p0, samples_);
  const std::size_t first = samples_.field.size();
  sample_pattern(pattern, lo, hi, p1, samples_);
  inside_ = theta0_ < mid ? first : samples_.field.size();
  sample_pattern(pattern, hi, kPi, p2, samples_);
  for (std::size_t i = 0; i < samples_.field.size(); ++i) {
    const double theta = samples_.theta_rad[i];
    const double w = samples_.weight_rad[i];
    const double power = w * std::norm(samples_.field[i]) * std::sin(theta);
    power_total_ += power;
    if (i < inside_) {
      power_inside_ += power;
      amplitude_ += w * std::abs(samples_.field[i]) * std::tan(theta / 2);
    }
  }
}

Efficiencies SilverIntegrals::at(double phase_slope_rad) const {
  std::complex<double> focused = 0;
  for (std::size_t i = 0; i < inside_; ++i) {
    const double theta = samples_.theta_rad[i];
    focused += samples_.weight_rad[i] * samples_.field[i] * std::tan(theta / 2) *
               std::polar(1.0, phase_slope_rad * std::cos(theta));
  }
  const double cot = 1 / std::tan(theta0_ / 2);
  Efficiencies e;
  e.spillover = power_inside_ / power_total_;
  e.illumination = 2 * cot * cot * amplitude_ * amplitude_ / power_inside_;
  e.phase = std::norm(focused) / (amplitude_ * amplitude_);
  e.polarisation = 1;
  e.aperture = 2 * cot * cot * std::norm(focused) / power_total_;
  return e;
}

namespace {

bool valid_f_over_d(double f_over_d) {
  return std::isfinite(f_over_d) && f_over_d > 0;
}

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

} // namespace

HornOnDish::HornOnDish(const Horn &horn, double freq_ghz, double f_over_d)
    : HornOnDish(HornPattern(horn, freq_ghz), f_over_d) {}

HornOnDish::HornOnDish(const HornPattern &pattern, double f_over_d)
    : k_(pattern.wavenumber_per_m()), theta0_(dish_half_angle_rad(f_over_d)),
      edge_level_db_(pattern.level_db(theta0_)),
      failure_(pattern.failure() != Failure::none ? pattern.failure()
               : valid_f_over_d(f_over_d)         ? Failure::none
                                                  : Failure::invalid_input),
      silver_(sample_horn(pattern, theta0_, failure_ == Failure::none)) {}

DishEfficiency HornOnDish::at(double feed_position_m) const {
  DishEfficiency d;
  d.failure = failure_;
  if (d.failure == Failure::none && !std::isfinite(feed_position_m))
    d.failure = Failure::invalid_input;
  if (d.failure != Failure::none)
    return d;
  d.efficiency = silver_.at(k_ * feed_position_m);
  d.feed_position_m = feed_position_m;
  d.half_angle_deg = theta0_ / kDegree;
  d.feed_edge_level_db = edge_level_db_;
  d.space_attenuation_db = amplitude_db(obliquity_factor(theta0_));
  d.edge_illumination_db = d.feed_edge_level_db + d.space_attenuation_db;
  return d;
}

double HornOnDish::fitted_phase_centre_m() const {
  if (failure_ != Failure::none)
    return kNaN;
  return fitted_phase_centre(silver_.samples(), silver_.inside(), k_).value_or(kNaN);
}

double HornOnDish::peak_width_m() const {
  return 2 * kPi / (k_ * (1 - std::cos(theta0_)));
}

DishEfficiency HornOnDish::optimum() const {
  if (failure_ != Failure::none)
    return at(kNaN);
  const double centre = fitted_phase_centre_m();
  const auto efficiency = [this](double d) { return silver_.at(k_ * d).aperture; };
  return at(best_feed_position(efficiency, std::isfinite(centre) ? centre : 0.0, peak_width_m()));
}

double best_feed_position(const std::function<double(double)> &efficiency, double start_m,
                          double width_m) {
  const auto loss = [&](double d) { return -efficiency(d); };
  constexpr int kScan = 8; // samples each side
  const double step = width_m / kScan;
  double best = start_m;
  double best_loss = loss(start_m);
  for (int j = -kScan; j <= kScan; ++j) {
    const double d = start_m + j * step;
    const double l = loss(d);
    if (l < best_loss) {
      best = d;
      best_loss = l;
    }
  }
  constexpr int bits = 26; // about 1e-8 relative, half the digits of double as Brent allows
  std::uintmax_t iterations = 200;
  const auto [d, l] =
      boost::math::tools::brent_find_minima(loss, best - step, best + step, bits, iterations);
  return l <= best_loss ? d : best;
}

DishEfficiency dish_efficiency(const Horn &horn, double freq_ghz, double f_over_d,
                               double feed_position_m) {
  const HornOnDish dish(horn, freq_ghz, f_over_d);
  return std::isnan(feed_position_m) ? dish.optimum() : dish.at(feed_position_m);
}

} // namespace kelvor::feed
