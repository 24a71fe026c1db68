// The dish fed by the mode-matched pattern: Silver's integrals with the cross-polar power.
#include "asbuilt/dish.hpp"

#include <cmath>
#include <complex>
#include <memory>

#include "feed/dish_geometry.hpp"
#include "feed/phase_centre.hpp"

namespace kelvor::asbuilt {

namespace {

using feed::kNaN;

bool positive(double x) {
  return std::isfinite(x) && x > 0;
}

std::complex<double> co_polar(const modal::PlaneFields &f) {
  return (f.e_plane_v + f.h_plane_v) / 2.0;
}

std::complex<double> cross_polar(const modal::PlaneFields &f) {
  return (f.e_plane_v - f.h_plane_v) / 2.0;
}

feed::SilverIntegrals sampled(const PlanePattern &planes, bool co, double theta0, double turn,
                              bool valid) {
  if (!valid)
    return feed::SilverIntegrals([](double) { return std::complex<double>(0); }, 1.0, 1.0);
  const auto field = [&planes, co](double theta) {
    const modal::PlaneFields f = planes(theta);
    return co ? co_polar(f) : cross_polar(f);
  };
  return feed::SilverIntegrals(field, theta0,
                               [turn](double span) { return feed::panels_for(span, turn); });
}

// The power over the first `count` samples (0..theta_0 when count is inside()) and over all.
void powers(const feed::SilverIntegrals &s, double &inside, double &all) {
  const feed::AngularSamples &p = s.samples();
  for (std::size_t i = 0; i < p.field.size(); ++i) {
    const double power = p.weight_rad[i] * std::norm(p.field[i]) * std::sin(p.theta_rad[i]);
    all += power;
    if (i < s.inside())
      inside += power;
  }
}

PlanePattern radiator_planes(const modal::ApertureField &aperture, bool valid) {
  if (!valid)
    return [](double) { return modal::PlaneFields{}; };
  auto radiator = std::make_shared<modal::Radiator>(aperture);
  return [radiator](double theta) { return radiator->planes(theta); };
}

bool aperture_valid(const modal::ApertureField &aperture) {
  return modal::check_aperture(aperture) == modal::Failure::none;
}

double aperture_k(const modal::ApertureField &aperture) {
  return feed::wavenumber_per_m(aperture.freq_ghz);
}

} // namespace

RealHornOnDish::RealHornOnDish(const PlanePattern &planes, double wavenumber_per_m,
                               double turn_rate, double f_over_d)
    : RealHornOnDish(planes, wavenumber_per_m, turn_rate, f_over_d,
                     positive(wavenumber_per_m) && positive(turn_rate) && positive(f_over_d)) {}

// The pattern turns on the scale of 1 / (k a) in angle; a few cycles more cover the aperture's
// phase error and the feed-position phase the optimum's search adds.
RealHornOnDish::RealHornOnDish(const modal::ApertureField &aperture, double f_over_d)
    : RealHornOnDish(radiator_planes(aperture, aperture_valid(aperture)), aperture_k(aperture),
                     aperture_k(aperture) * aperture.radius_m + 6 * feed::kPi, f_over_d,
                     aperture_valid(aperture) && positive(f_over_d)) {}

RealHornOnDish::RealHornOnDish(const PlanePattern &planes, double wavenumber_per_m,
                               double turn_rate, double f_over_d, bool valid)
    : k_(wavenumber_per_m), theta0_(valid ? feed::dish_half_angle_rad(f_over_d) : kNaN),
      failure_(valid ? feed::Failure::none : feed::Failure::invalid_input),
      co_(sampled(planes, true, theta0_, turn_rate, valid)),
      cross_(sampled(planes, false, theta0_, turn_rate, valid)) {
  if (!valid)
    return;
  const double axis = std::abs(co_polar(planes(0)));
  if (!(axis > 0)) {
    failure_ = feed::Failure::null_on_axis;
    return;
  }
  edge_level_db_ = feed::amplitude_db(std::abs(co_polar(planes(theta0_))) / axis);
  powers(co_, co_in_, co_all_);
  powers(cross_, cross_in_, cross_all_);
}

feed::DishEfficiency RealHornOnDish::at(double feed_position_m) const {
  feed::DishEfficiency d;
  d.failure = failure_;
  if (d.failure == feed::Failure::none && !std::isfinite(feed_position_m))
    d.failure = feed::Failure::invalid_input;
  if (d.failure != feed::Failure::none)
    return d;
  const feed::Efficiencies co = co_.at(k_ * feed_position_m);
  feed::Efficiencies &e = d.efficiency;
  e.spillover = (co_in_ + cross_in_) / (co_all_ + cross_all_);
  e.polarisation = co_in_ / (co_in_ + cross_in_);
  e.illumination = co.illumination;
  e.phase = co.phase;
  e.aperture = co.aperture * co_all_ / (co_all_ + cross_all_);
  d.feed_position_m = feed_position_m;
  d.half_angle_deg = theta0_ / feed::kDegree;
  d.feed_edge_level_db = edge_level_db_;
  d.space_attenuation_db = feed::space_attenuation_db(theta0_);
  d.edge_illumination_db = d.feed_edge_level_db + d.space_attenuation_db;
  return d;
}

double RealHornOnDish::fitted_phase_centre_m() const {
  if (failure_ != feed::Failure::none)
    return kNaN;
  return feed::fitted_phase_centre(co_.samples(), co_.inside(), k_).value_or(kNaN);
}

feed::DishEfficiency RealHornOnDish::optimum() const {
  if (failure_ != feed::Failure::none)
    return at(kNaN);
  const double centre = fitted_phase_centre_m();
  const double width = 2 * feed::kPi / (k_ * (1 - std::cos(theta0_)));
  const auto efficiency = [this](double d) { return at(d).efficiency.aperture; };
  const feed::FeedPosition p =
      feed::best_feed_position(efficiency, std::isfinite(centre) ? centre : 0.0, width);
  feed::DishEfficiency d;
  d.failure = p.failure;
  if (p.failure == feed::Failure::none)
    d = at(p.position_m);
  d.optimum_on_bound = p.on_bound;
  return d;
}

feed::DishEfficiency profile_on_dish(const modal::Profile &profile, double freq_ghz,
                                     double f_over_d) {
  const modal::FrequencyResult r = modal::analyse(profile, freq_ghz);
  feed::DishEfficiency e = RealHornOnDish(r.aperture, f_over_d).optimum();
  if (r.failure == modal::Failure::too_much_work)
    e.failure = feed::Failure::too_much_work;
  else if (r.failure == modal::Failure::not_converged)
    e.failure = feed::Failure::not_converged;
  return e;
}

} // namespace kelvor::asbuilt
