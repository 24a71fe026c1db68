// The Huygens far field of the aperture's modes by Lommel's integrals, and the figures drawn from
// it: power by composite Gauss-Legendre over the sphere, peaks by a scan refined with Brent's
// method, the phase centre by a power-weighted fit in cos theta.
#include "modal/radiation.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include <boost/math/quadrature/gauss.hpp>
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>
#include <boost/math/special_functions/binomial.hpp>
#include <boost/math/special_functions/factorials.hpp>
#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {

using cplx = std::complex<double>;
constexpr double kDegree = kPi / 180;
// |u - x| below which Lm(x, u) is taken by its Taylor series about u = x.
constexpr double kTaylorBand = 0.01;
constexpr int kTaylorOrder = 6;
// Radians the far field may turn across one 20-point Gauss-Legendre panel.
constexpr double kPanelTurn = 6.0;
// Scan samples per radian of the pattern's turn (k a + 1 radians per radian of theta).
constexpr double kScanPerTurn = 4.0;
// The default phase-centre range ends where the 45-degree co-polar power falls this far.
// Brent's bits of the maximum's angle: half the double's, which gives the value to rounding.
constexpr int kBrentBits = std::numeric_limits<double>::digits / 2;
constexpr double kEdgeTaper = 0.0630957344480193; // -12 dB

double bessel_j(int order, double x) {
  return boost::math::cyl_bessel_j(order, x);
}

// kc a of TE1n (the n-th zero of J1', bracketed by the zeros of J1 around it) or TM1n (the n-th
// zero of J1). To become modes.hpp's once the cascade's modes land.
double cutoff_ka(bool te, int n) {
  if (!te)
    return boost::math::cyl_bessel_j_zero(1.0, n);
  const double lo = n == 1 ? 1.0 : boost::math::cyl_bessel_j_zero(1.0, n - 1);
  const double hi = boost::math::cyl_bessel_j_zero(1.0, n);
  std::uintmax_t iterations = 100;
  const auto root = boost::math::tools::toms748_solve(
      [](double x) { return boost::math::cyl_bessel_j_prime(1, x); }, lo, hi,
      boost::math::tools::eps_tolerance<double>(), iterations);
  return (root.first + root.second) / 2;
}

// Jv at x for any integer v from the table J0 .. J9 at x (J(-v) = (-1)^v Jv).
double table_j(const std::array<double, 10> &j, int v) {
  return v >= 0 ? j[static_cast<std::size_t>(v)]
                : ((-v) % 2 ? -1.0 : 1.0) * j[static_cast<std::size_t>(-v)];
}

// The d-th derivative of Jv at x, 2^-d sum_k (-1)^k C(d, k) J(v-d+2k)(x) (DLMF 10.6.7).
double bessel_derivative(const std::array<double, 10> &j, int v, int d) {
  double sum = 0;
  for (int k = 0; k <= d; ++k)
    sum += ((k % 2) ? -1.0 : 1.0) *
           boost::math::binomial_coefficient<double>(static_cast<unsigned>(d),
                                                     static_cast<unsigned>(k)) *
           table_j(j, v - d + 2 * k);
  return std::ldexp(sum, -d);
}

// Lm(x, u) = integral_0^1 Jm(x t) Jm(u t) t dt for m = 0, 2; ju holds Jm(u) and J(m+1)(u).
double lommel(int m, const Radiator::Mode &mode, double u, double jm_u, double jm1_u) {
  const double x = mode.x;
  const double h = u - x;
  const double jm = mode.j[static_cast<std::size_t>(m)], jm1 = mode.j[static_cast<std::size_t>(m + 1)];
  // |u - x| >= band: the closed form, its cancellation at most eps / band.
  if (std::abs(h) >= kTaylorBand)
    return (x * jm1 * jm_u - u * jm * jm1_u) / (x * x - u * u);
  // |u - x| < band: N(u) = x J(m+1)(x) Jm(u) - u Jm(x) J(m+1)(u) vanishes at u = x; its d-th
  // derivative there is x J(m+1) Jm^(d) - Jm (x J(m+1)^(d) + d J(m+1)^(d-1)), and
  // Lm = -[sum_d N^(d) h^(d-1) / d!] / (2 x + h).
  double sum = 0;
  for (int d = kTaylorOrder; d >= 1; --d) {
    const double nd = x * jm1 * bessel_derivative(mode.j, m, d) -
                      jm * (x * bessel_derivative(mode.j, m + 1, d) +
                            d * bessel_derivative(mode.j, m + 1, d - 1));
    sum = sum * h + nd / boost::math::factorial<double>(static_cast<unsigned>(d));
  }
  return -sum / (2 * x + h);
}

// The closed-form power of one mode's unnormalised profile over the disk, integral |E_t|^2 dA, as
// (pi a^2 / 2)(L0(x, x) + L2(x, x)), since |E_t|^2 = (J0(kc r)^2 + J2(kc r)^2) / 2 averaged in phi.
double mode_norm(const Radiator::Mode &mode, double a) {
  const auto &j = mode.j;
  return kPi * a * a / 2 * (lommel(0, mode, mode.x, j[0], j[1]) + lommel(2, mode, mode.x, j[2], j[3]));
}

std::vector<Radiator::Mode> prepare_modes(const ApertureField &ap) {
  const double k = wavenumber_per_m(ap.freq_ghz);
  const double a = ap.radius_m;
  std::vector<Radiator::Mode> modes;
  for (int kind = 0; kind < 2; ++kind) {
    const bool te = kind == 0;
    const auto &coef = te ? ap.te : ap.tm;
    for (std::size_t n = 0; n < coef.size(); ++n) {
      Radiator::Mode mode;
      mode.te = te;
      mode.x = cutoff_ka(te, static_cast<int>(n) + 1);
      mode.c = cplx(0, k * a * a / 4) * coef[n];
      const double kc = mode.x / a;
      // beta = sqrt(k^2 - kc^2), -j |beta| below cut-off; eta0 / Z_TE = beta / k, eta0 / Z_TM = k / beta.
      const cplx beta = k > kc ? cplx(std::sqrt((k - kc) * (k + kc)), 0)
                               : cplx(0, -std::sqrt((kc - k) * (kc + k)));
      mode.y = te ? beta / k : k / beta;
      for (std::size_t v = 0; v < mode.j.size(); ++v)
        mode.j[v] = bessel_j(static_cast<int>(v), mode.x);
      modes.push_back(mode);
    }
  }
  return modes;
}

} // namespace

Failure check_aperture(const ApertureField &ap) {
  if (!finite_positive(ap.radius_m) || !finite_positive(ap.freq_ghz))
    return Failure::invalid_input;
  if (wavenumber_per_m(ap.freq_ghz) * ap.radius_m > kMaxApertureKa ||
      ap.te.size() > kMaxApertureModes || ap.tm.size() > kMaxApertureModes)
    return Failure::too_much_work;
  const auto finite = [](cplx c) { return std::isfinite(c.real()) && std::isfinite(c.imag()); };
  if (!std::all_of(ap.te.begin(), ap.te.end(), finite) ||
      !std::all_of(ap.tm.begin(), ap.tm.end(), finite))
    return Failure::invalid_input;
  const auto zero = [](cplx c) { return c == cplx(0); };
  if (std::all_of(ap.te.begin(), ap.te.end(), zero) && std::all_of(ap.tm.begin(), ap.tm.end(), zero))
    return Failure::invalid_input;
  for (const auto &mode : prepare_modes(ap))
    if (!std::isfinite(std::abs(mode.y)) && mode.c != cplx(0))
      return Failure::invalid_input;
  return Failure::none;
}

Radiator::Radiator(const ApertureField &ap)
    : k_(modal::wavenumber_per_m(ap.freq_ghz)), a_(ap.radius_m), modes_(prepare_modes(ap)) {}

PlaneFields Radiator::planes(double theta_rad, double reference_m) const {
  const double u = k_ * a_ * std::sin(theta_rad);
  const double c = std::cos(theta_rad);
  std::array<double, 4> ju{};
  for (std::size_t v = 0; v < ju.size(); ++v)
    ju[v] = bessel_j(static_cast<int>(v), u);
  cplx e = 0, h = 0;
  for (const auto &mode : modes_) {
    if (mode.c == cplx(0))
      continue;
    const double l0 = lommel(0, mode, u, ju[0], ju[1]);
    const double l2 = lommel(2, mode, u, ju[2], ju[3]);
    const double sign = mode.te ? 1 : -1;
    e += mode.c * (l0 - sign * l2) * (1.0 + mode.y * c);
    h += mode.c * (l0 + sign * l2) * (c + mode.y);
  }
  const cplx shift = std::polar(1.0, k_ * reference_m * c);
  return {e * shift, h * shift};
}

FarField Radiator::field(double theta_rad, double phi_rad, double reference_m) const {
  const auto p = planes(theta_rad, reference_m);
  const double cp = std::cos(phi_rad), sp = std::sin(phi_rad);
  const cplx e_theta = p.e_plane_v * cp, e_phi = -p.h_plane_v * sp;
  return {e_theta, e_phi, e_theta * cp - e_phi * sp, e_theta * sp + e_phi * cp};
}

FarField far_field(const ApertureField &aperture, double theta_rad, double phi_rad,
                   double reference_m) {
  return Radiator(aperture).field(theta_rad, phi_rad, reference_m);
}

double aperture_power_w(const ApertureField &aperture) {
  double power = 0;
  for (const auto &mode : prepare_modes(aperture)) {
    // |c_n|^2 from the scaled coefficient: c = j k a^2 / 4 * coefficient.
    const double scale = wavenumber_per_m(aperture.freq_ghz) * aperture.radius_m * aperture.radius_m / 4;
    power += std::norm(mode.c / scale) * mode.y.real() / kEta0 * mode_norm(mode, aperture.radius_m) / 2;
  }
  return power;
}

namespace {

// 0 <= theta_deg <= 180 for every requested angle.
bool valid_options(const RadiationOptions &o) {
  const auto in_range = [](double t) { return t >= 0 && t <= 180; };
  return o.xpol_within_deg > 0 && o.xpol_within_deg <= 180 && o.phase_centre_within_deg >= 0 &&
         o.phase_centre_within_deg <= 180 && o.max_iterations >= 1 &&
         std::all_of(o.cut_theta_deg.begin(), o.cut_theta_deg.end(), in_range) &&
         !std::isinf(o.cut_reference_m);
}

// Panels of the composite 20-point rule over span radians of a pattern of the radiator.
std::size_t panels_over(const Radiator &r, double span_rad) {
  return 1 + static_cast<std::size_t>(std::ceil(span_rad * (r.ka() + 1) / kPanelTurn));
}

// Integral over the sphere of |r E|^2 / (2 eta0): the phi integral of e^2 cos^2 + h^2 sin^2 is
// pi (|e|^2 + |h|^2), the theta integral composite Gauss-Legendre.
double radiated_power(const Radiator &r) {
  using Rule = boost::math::quadrature::gauss<double, 20>;
  const auto ring = [&](double t) {
    const auto p = r.planes(t);
    return (std::norm(p.e_plane_v) + std::norm(p.h_plane_v)) * std::sin(t);
  };
  const std::size_t panels = panels_over(r, kPi);
  double sum = 0;
  for (std::size_t i = 0; i < panels; ++i)
    sum += Rule::integrate(ring, kPi * static_cast<double>(i) / static_cast<double>(panels),
                           kPi * static_cast<double>(i + 1) / static_cast<double>(panels));
  return kPi * sum / (2 * kEta0);
}

struct Peak {
  double theta_rad = 0, value = 0;
  bool converged = true;
};

// The largest value of f over [0, hi]: a scan at kScanPerTurn samples per radian of turn, every
// sampled local maximum within 3 dB of the largest sample refined by Brent's method between its
// neighbours.
template <class F> Peak largest(const Radiator &r, F f, double hi, int max_iterations) {
  const auto n = 2 + static_cast<std::size_t>(std::ceil(hi * (r.ka() + 1) * kScanPerTurn));
  std::vector<double> t(n), v(n);
  for (std::size_t i = 0; i < n; ++i) {
    t[i] = hi * static_cast<double>(i) / static_cast<double>(n - 1);
    v[i] = f(t[i]);
  }
  const double top = *std::max_element(v.begin(), v.end());
  Peak best;
  for (std::size_t i = 0; i < n; ++i) {
    if (v[i] < top / 2)
      continue;
    // A maximum at an end of the range is that end's sample.
    if ((i == 0 && v[0] >= v[1]) || (i + 1 == n && v[i] >= v[i - 1])) {
      if (v[i] > best.value)
        best.theta_rad = t[i], best.value = v[i];
      continue;
    }
    if (i == 0 || i + 1 == n || v[i] < v[i - 1] || v[i] < v[i + 1])
      continue;
    auto iterations = static_cast<std::uintmax_t>(max_iterations);
    const auto m = boost::math::tools::brent_find_minima([&](double x) { return -f(x); }, t[i - 1],
                                                         t[i + 1], kBrentBits, iterations);
    best.converged = best.converged && iterations < static_cast<std::uintmax_t>(max_iterations);
    if (-m.second > best.value)
      best.theta_rad = m.first, best.value = -m.second;
  }
  return best;
}

// The first angle at which the 45-degree co-polar power falls below kEdgeTaper of its axial value,
// on the scan's step, or hi if it never does.
double edge_angle(const Radiator &r, double hi) {
  const auto co45 = [&](double t) {
    const auto p = r.planes(t);
    return std::norm(p.e_plane_v + p.h_plane_v);
  };
  const double axis = co45(0);
  const double step = 1 / ((r.ka() + 1) * kScanPerTurn);
  for (double t = step; t < hi; t += step)
    if (co45(t) < kEdgeTaper * axis)
      return t;
  return hi;
}

// The phase centre by feed's definition (feed/phase_centre.hpp fitted_m): the unwrapped phase of
// the 45-degree co-polar field at composite Gauss-Legendre nodes over 0..edge, fitted to
// phi0 - k d cos theta by weighted least squares, weights |F|^2 sin theta d theta. To become the
// shared fit's call (numeric/phase_fit) once it lands.
double fitted_phase_centre_m(const Radiator &r, double edge_rad) {
  using Rule = boost::math::quadrature::gauss<double, 20>;
  const auto &x = Rule::abscissa();
  const auto &w = Rule::weights();
  const std::size_t panels = panels_over(r, edge_rad);
  const double half = edge_rad / (2 * static_cast<double>(panels));
  double sw = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, phase = 0;
  cplx previous = 0;
  bool first = true;
  const auto add = [&](double theta, double weight) {
    const auto p = r.planes(theta);
    const cplx f = p.e_plane_v + p.h_plane_v;
    if (!first)
      phase += std::arg(f * std::conj(previous));
    first = false;
    previous = f;
    const double wt = weight * std::norm(f) * std::sin(theta), ct = std::cos(theta);
    sw += wt;
    sx += wt * ct;
    sy += wt * phase;
    sxx += wt * ct * ct;
    sxy += wt * ct * phase;
  };
  for (std::size_t p = 0; p < panels; ++p) {
    const double mid = (2 * static_cast<double>(p) + 1) * half;
    for (std::size_t i = x.size(); i-- > 0;)
      add(mid - half * x[i], half * w[i]);
    for (std::size_t i = 0; i < x.size(); ++i)
      add(mid + half * x[i], half * w[i]);
  }
  return -(sw * sxy - sx * sy) / (sw * sxx - sx * sx) / r.wavenumber_per_m();
}

RadiationSummary refused(Failure failure) {
  RadiationSummary s;
  s.failure = failure;
  s.radiated_power_w = s.directivity_dbi = s.xpol_peak_db = s.xpol_peak_theta_deg = kNaN;
  s.phase_centre_m = s.phase_centre_within_deg = kNaN;
  return s;
}

} // namespace

RadiationSummary radiate(const ApertureField &aperture, const RadiationOptions &options) {
  if (const Failure f = check_aperture(aperture); f != Failure::none)
    return refused(f);
  if (!valid_options(options))
    return refused(Failure::invalid_input);
  const Radiator r(aperture);
  RadiationSummary s;
  s.radiated_power_w = radiated_power(r);
  const auto axis = r.planes(0);
  s.directivity_dbi = 10 * std::log10(4 * kPi * std::norm(axis.e_plane_v) / (2 * kEta0) /
                                      s.radiated_power_w);

  const double within = options.xpol_within_deg * kDegree;
  const auto cross45 = [&](double t) {
    const auto p = r.planes(t);
    return std::norm(p.e_plane_v - p.h_plane_v) / 4;
  };
  // The co-polar power at theta is largest at phi = 0 or 90 degrees: |e c + h (1 - c)|^2 is convex
  // in c = cos^2 phi.
  const auto co_any = [&](double t) {
    const auto p = r.planes(t);
    return std::max(std::norm(p.e_plane_v), std::norm(p.h_plane_v));
  };
  const Peak cross = largest(r, cross45, within, options.max_iterations);
  const Peak co = largest(r, co_any, within, options.max_iterations);
  if (!cross.converged || !co.converged)
    return refused(Failure::not_converged);
  s.xpol_peak_db = 10 * std::log10(cross.value / co.value);
  s.xpol_peak_theta_deg = cross.theta_rad / kDegree;

  const double edge = options.phase_centre_within_deg > 0
                          ? options.phase_centre_within_deg * kDegree
                          : edge_angle(r, kPi / 2);
  s.phase_centre_within_deg = edge / kDegree;
  s.phase_centre_m = fitted_phase_centre_m(r, edge);

  const double reference = std::isnan(options.cut_reference_m) ? s.phase_centre_m
                                                                : options.cut_reference_m;
  const double scale = std::sqrt(4 * kPi / (2 * kEta0 * s.radiated_power_w));
  s.theta_deg = options.cut_theta_deg;
  s.cuts = {RadiationCut{0, {}, {}}, RadiationCut{45, {}, {}}, RadiationCut{90, {}, {}}};
  for (const double t : s.theta_deg) {
    const auto p = r.planes(t * kDegree, reference);
    const cplx e = p.e_plane_v * scale, h = p.h_plane_v * scale;
    s.cuts[0].co.push_back(e);
    s.cuts[0].cross.push_back(0);
    s.cuts[1].co.push_back((e + h) / 2.0);
    s.cuts[1].cross.push_back((e - h) / 2.0);
    s.cuts[2].co.push_back(h);
    s.cuts[2].cross.push_back(0);
  }
  return s;
}

} // namespace kelvor::modal
