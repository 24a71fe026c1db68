// The far field of the horn's aperture by composite Gauss-Legendre quadrature of the zero-order
// Hankel transform of the aperture field, times the Huygens obliquity factor.
#include "feed/pattern.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

#include "feed/bessel.hpp"
#include "numeric/composite_gauss.hpp"

namespace kelvor::feed {

namespace {

// The level m (2^m panels) at which the integrand turns at most kPhasePerPanel per panel; none
// beyond kMaxLevel.
std::optional<std::size_t> level_for(double u, double S) {
  const auto panels = numeric::panels_for_turn(u + 4 * kPi * S, ApertureIntegral::kPhasePerPanel,
                                               std::size_t{1} << ApertureIntegral::kMaxLevel);
  if (!panels)
    return std::nullopt;
  std::size_t m = 0;
  while ((std::size_t{1} << m) < *panels)
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

Failure check_horn_work(const Horn &horn, double freq_ghz) {
  const Failure failure = check_horn(horn, freq_ghz);
  if (failure != Failure::none)
    return failure;
  const double turn = wavenumber_per_m(freq_ghz) * horn.aperture_radius_m +
                      4 * kPi * phase_deviation(horn, freq_ghz);
  return turn <= kMaxApertureTurn ? Failure::none : Failure::too_much_work;
}

ApertureIntegral::ApertureIntegral(double phase_deviation, double u_max) : S_(phase_deviation) {
  const std::size_t top = level_for(std::max(u_max, 0.0), S_).value_or(kMaxLevel);
  levels_.resize(top + 1);
  for (std::size_t m = 0; m <= top; ++m) {
    const numeric::QuadratureNodes q = numeric::composite_gauss(0, 1, std::size_t{1} << m);
    Level &level = levels_[m];
    level.t = q.node;
    for (std::size_t i = 0; i < q.node.size(); ++i) {
      const double t = q.node[i];
      const double taper = q.weight[i] * t * bessel_j0(kFirstZeroJ0 * t);
      level.g.push_back(std::polar(taper, -2 * kPi * S_ * t * t));
    }
  }
}

std::complex<double> ApertureIntegral::operator()(double u) const {
  const Level &level = levels_[std::min(level_for(u, S_).value_or(kMaxLevel), levels_.size() - 1)];
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
  if (check_horn_work(horn, freq_ghz) != Failure::none)
    return ApertureIntegral(0, 0);
  return ApertureIntegral(phase_deviation(horn, freq_ghz),
                          wavenumber_per_m(freq_ghz) * horn.aperture_radius_m);
}

} // namespace

HornPattern::HornPattern(const Horn &horn, double freq_ghz)
    : horn_(horn), freq_ghz_(freq_ghz), k_(feed::wavenumber_per_m(freq_ghz)),
      ka_(k_ * horn.aperture_radius_m), aperture_(horn_aperture(horn, freq_ghz)),
      axis_magnitude_(std::abs(aperture_(0))), failure_(check_horn_work(horn, freq_ghz)) {
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
