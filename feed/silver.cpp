// Silver's aperture-efficiency integrals on a sampled feed pattern.
#include "feed/silver.hpp"

#include <algorithm>
#include <cmath>
#include <complex>

namespace kelvor::feed {

SilverIntegrals::SilverIntegrals(const FeedPattern &pattern, double half_angle_rad,
                                 double panels_per_radian)
    : SilverIntegrals(pattern, half_angle_rad, [panels_per_radian](double span) {
        return std::max<std::size_t>(1,
                                     static_cast<std::size_t>(std::ceil(span * panels_per_radian)));
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

std::vector<double> SilverIntegrals::aperture_scan(double first_rad, double step_rad,
                                                   std::size_t count) const {
  // Each term w F tan(theta/2) exp(j s cos theta) advances by exp(j step cos theta) per step.
  std::vector<std::complex<double>> term(inside_), turn(inside_);
  for (std::size_t i = 0; i < inside_; ++i) {
    const double theta = samples_.theta_rad[i];
    term[i] = samples_.weight_rad[i] * samples_.field[i] * std::tan(theta / 2) *
              std::polar(1.0, first_rad * std::cos(theta));
    turn[i] = std::polar(1.0, step_rad * std::cos(theta));
  }
  const double cot = 1 / std::tan(theta0_ / 2);
  std::vector<double> aperture(count);
  for (std::size_t n = 0; n < count; ++n) {
    std::complex<double> focused = 0;
    for (std::size_t i = 0; i < inside_; ++i) {
      focused += term[i];
      term[i] *= turn[i];
    }
    aperture[n] = 2 * cot * cot * std::norm(focused) / power_total_;
  }
  return aperture;
}

} // namespace kelvor::feed
