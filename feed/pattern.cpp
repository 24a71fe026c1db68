// The far field of the horn's aperture by composite Gauss-Legendre quadrature of the zero-order
// Hankel transform of the aperture field, times the Huygens obliquity factor.
#include "feed/pattern.hpp"

#include <boost/math/quadrature/gauss.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "feed/bessel.hpp"

namespace kelvor::feed {

namespace {

using Rule = boost::math::quadrature::gauss<double, 20>;

// The level m (2^m panels) at which the integrand turns at most kPhasePerPanel per panel.
std::size_t level_for(double u, double S) {
  const double turn = (u + 4 * kPi * S) / ApertureIntegral::kPhasePerPanel;
  std::size_t m = 0;
  while (static_cast<double>(std::size_t{1} << m) < turn)
    ++m;
  return m;
}

} // namespace

double phase_deviation(const Horn &horn, double freq_ghz) {
  const double a = horn.aperture_radius_m;
  return a * a / (2 * wavelength_m(freq_ghz) * horn.slant_radius_m);
}

Failure check_horn(const Horn &horn, double freq_ghz) {
  const bool ok = std::isfinite(horn.aperture_radius_m) && horn.aperture_radius_m > 0 &&
                  horn.slant_radius_m > 0 && !std::isnan(horn.slant_radius_m) &&
                  std::isfinite(freq_ghz) && freq_ghz > 0;
  return ok ? Failure::none : Failure::invalid_input;
}

ApertureIntegral::ApertureIntegral(double phase_deviation, double u_max) : S_(phase_deviation) {
  const auto &x = Rule::abscissa(); // non-negative half of the symmetric rule
  const auto &w = Rule::weights();
  const std::size_t top = level_for(std::max(u_max, 0.0), S_);
  levels_.resize(top + 1);
  for (std::size_t m = 0; m <= top; ++m) {
    const std::size_t panels = std::size_t{1} << m;
    const double half = 0.5 / static_cast<double>(panels);
    Level &level = levels_[m];
    for (std::size_t p = 0; p < panels; ++p) {
      const double mid = (2 * static_cast<double>(p) + 1) * half;
      for (std::size_t i = 0; i < x.size(); ++i) {
        // Both signs of each abscissa; the centre node (odd rules only) once.
        for (const double sign : {-1.0, 1.0}) {
          if (sign < 0 && x[i] == 0)
            continue;
          const double t = mid + sign * half * x[i];
          const double taper = half * w[i] * t * bessel_j0(kFirstZeroJ0 * t);
          level.t.push_back(t);
          level.g.push_back(std::polar(taper, -2 * kPi * S_ * t * t));
        }
      }
    }
  }
}

std::complex<double> ApertureIntegral::operator()(double u) const {
  const Level &level = levels_[std::min(level_for(u, S_), levels_.size() - 1)];
  std::complex<double> sum = 0;
  if (u == 0) {
    for (const auto &g : level.g)
      sum += g;
    return sum;
  }
  for (std::size_t i = 0; i < level.t.size(); ++i)
    sum += level.g[i] * bessel_j0(u * level.t[i]);
  return sum;
}

namespace {

// The aperture integral of a valid horn out to u = k a; a one-level placeholder otherwise.
ApertureIntegral horn_aperture(const Horn &horn, double freq_ghz) {
  if (check_horn(horn, freq_ghz) != Failure::none)
    return ApertureIntegral(0, 0);
  return ApertureIntegral(phase_deviation(horn, freq_ghz),
                          wavenumber_per_m(freq_ghz) * horn.aperture_radius_m);
}

} // namespace

HornPattern::HornPattern(const Horn &horn, double freq_ghz)
    : k_(feed::wavenumber_per_m(freq_ghz)), ka_(k_ * horn.aperture_radius_m),
      aperture_(horn_aperture(horn, freq_ghz)), axis_magnitude_(std::abs(aperture_(0))),
      failure_(check_horn(horn, freq_ghz)) {
  if (failure_ == Failure::none && !(axis_magnitude_ > 0))
    failure_ = Failure::null_on_axis;
}

std::complex<double> HornPattern::field(double theta_rad, double reference_m) const {
  if (failure_ != Failure::none)
    return {kNaN, kNaN};
  const double u = ka_ * std::fabs(std::sin(theta_rad));
  const double c = std::cos(theta_rad);
  return (1 + c) / 2 / axis_magnitude_ * aperture_(u) * std::polar(1.0, k_ * reference_m * c);
}

double HornPattern::level_db(double theta_rad) const {
  return amplitude_db(std::abs(field(theta_rad)));
}

} // namespace kelvor::feed
