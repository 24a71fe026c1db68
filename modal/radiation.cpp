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

#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>
#include <boost/math/special_functions/binomial.hpp>
#include <boost/math/special_functions/factorials.hpp>
#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>

#include "modal/modes.hpp"
#include "modal/units.hpp"
#include "numeric/composite_gauss.hpp"
#include "numeric/phase_fit.hpp"

namespace kelvor::modal {

namespace {

using cplx = std::complex<double>;
constexpr double kDegree = kPi / 180;
// |u - x| below which Lm(x, u) is taken by its Taylor series about u = x.
constexpr double kTaylorBand = 0.01;
constexpr int kTaylorOrder = 6;
// Radians the far field may turn across one 20-point Gauss-Legendre panel.
constexpr double kPanelTurn = 12.0;
// Scan samples per radian of the pattern's turn (k a + 1 radians per radian of theta).
constexpr double kScanPerTurn = 2.0;
// The default phase-centre range ends where the 45-degree co-polar power falls this far.
// Brent's bits of the maximum's angle: half the double's, which gives the value to rounding.
constexpr int kBrentBits = std::numeric_limits<double>::digits / 2;
constexpr double kEdgeTaper = 0.0630957344480193; // -12 dB

double bessel_j(int order, double x) {
  return boost::math::cyl_bessel_j(order, x);
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
  const double jm = mode.j[static_cast<std::size_t>(m)],
               jm1 = mode.j[static_cast<std::size_t>(m + 1)];
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

// The aperture's modes in the order te[0..], tm[0..], each with its cut-off, eta0 / Z and the
// Bessel values at kc a (modes.hpp's table and impedances).
std::vector<Radiator::Mode> prepare_modes(const ApertureField &ap) {
  const double k = wavenumber_per_m(ap.freq_ghz);
  const double a = ap.radius_m;
  const auto table = lowest_modes(2 * static_cast<int>(std::max(ap.te.size(), ap.tm.size())));
  std::vector<Radiator::Mode> modes;
  for (const ModeKind kind : {ModeKind::te, ModeKind::tm}) {
    const auto &coef = kind == ModeKind::te ? ap.te : ap.tm;
    for (const auto &m : table) {
      if (m.kind != kind || static_cast<std::size_t>(m.n) > coef.size())
        continue;
      Radiator::Mode mode;
      mode.te = kind == ModeKind::te;
      mode.x = m.cutoff_ka;
      mode.c = cplx(0, k * a * a / 4) * coef[static_cast<std::size_t>(m.n - 1)];
      mode.y = 1.0 / relative_impedance(m, axial_wavenumber(m, a, k), k);
      mode.norm_m2 = profile_norm_m2(m, a);
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
      2 * std::max(ap.te.size(), ap.tm.size()) > static_cast<std::size_t>(mode_table_size()))
    return Failure::too_much_work;
  const auto finite = [](cplx c) { return std::isfinite(c.real()) && std::isfinite(c.imag()); };
  if (!std::all_of(ap.te.begin(), ap.te.end(), finite) ||
      !std::all_of(ap.tm.begin(), ap.tm.end(), finite))
    return Failure::invalid_input;
  const auto zero = [](cplx c) { return c == cplx(0); };
  if (std::all_of(ap.te.begin(), ap.te.end(), zero) &&
      std::all_of(ap.tm.begin(), ap.tm.end(), zero))
    return Failure::invalid_input;
  for (const auto &mode : prepare_modes(ap))
    if (!std::isfinite(std::abs(mode.y)))
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
    const double scale =
        wavenumber_per_m(aperture.freq_ghz) * aperture.radius_m * aperture.radius_m / 4;
    power += std::norm(mode.c / scale) * mode.y.real() / kEta0 * mode.norm_m2 / 2;
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

// The composite Gauss-Legendre nodes over 0..span_rad for a pattern of the radiator, which turns
// by at most k a + 1 radians per radian of theta (check_aperture's bound on k a keeps the count
// within kMaxPanels).
numeric::QuadratureNodes nodes_over(const Radiator &r, double span_rad) {
  constexpr std::size_t kMaxPanels = 4096;
  return numeric::composite_gauss(
      0, span_rad,
      numeric::panels_for_turn(span_rad * (r.ka() + 1), kPanelTurn, kMaxPanels).value());
}

// Integral over the sphere of |r E|^2 / (2 eta0): the phi integral of e^2 cos^2 + h^2 sin^2 is
// pi (|e|^2 + |h|^2), the theta integral composite Gauss-Legendre.
double radiated_power(const Radiator &r) {
  const auto nodes = nodes_over(r, kPi);
  double sum = 0;
  for (std::size_t i = 0; i < nodes.node.size(); ++i) {
    const auto p = r.planes(nodes.node[i]);
    sum += nodes.weight[i] * (std::norm(p.e_plane_v) + std::norm(p.h_plane_v)) *
           std::sin(nodes.node[i]);
  }
  return kPi * sum / (2 * kEta0);
}

struct Peak {
  double theta_rad = 0, value = 0;
  bool converged = true;
};

// The pattern at kScanPerTurn samples per radian of turn over [0, hi], both ends included.
struct Scan {
  std::vector<double> theta_rad;
  std::vector<PlaneFields> planes;
};

Scan scan(const Radiator &r, double hi) {
  const auto n = 2 + static_cast<std::size_t>(std::ceil(hi * (r.ka() + 1) * kScanPerTurn));
  Scan s;
  for (std::size_t i = 0; i < n; ++i) {
    s.theta_rad.push_back(hi * static_cast<double>(i) / static_cast<double>(n - 1));
    s.planes.push_back(r.planes(s.theta_rad.back()));
  }
  return s;
}

// The largest value of power(planes) over the scan's range: every sampled local maximum within
// 3 dB of the largest sample refined by Brent's method between its neighbours; a maximum at an end
// of the range is that end's sample.
template <class F> Peak largest(const Radiator &r, const Scan &scan, F power, int max_iterations) {
  const auto &t = scan.theta_rad;
  const std::size_t n = t.size();
  std::vector<double> v;
  for (const auto &p : scan.planes)
    v.push_back(power(p));
  const double top = *std::max_element(v.begin(), v.end());
  Peak best;
  for (std::size_t i = 0; i < n; ++i) {
    if (v[i] < top / 2)
      continue;
    if ((i == 0 && v[0] >= v[1]) || (i + 1 == n && v[i] >= v[i - 1])) {
      if (v[i] > best.value)
        best.theta_rad = t[i], best.value = v[i];
      continue;
    }
    if (i == 0 || i + 1 == n || v[i] < v[i - 1] || v[i] < v[i + 1])
      continue;
    auto iterations = static_cast<std::uintmax_t>(max_iterations);
    const auto m = boost::math::tools::brent_find_minima(
        [&](double x) { return -power(r.planes(x)); }, t[i - 1], t[i + 1], kBrentBits, iterations);
    best.converged = best.converged && iterations < static_cast<std::uintmax_t>(max_iterations);
    if (-m.second > best.value)
      best.theta_rad = m.first, best.value = -m.second;
  }
  return best;
}

// The first angle at which the 45-degree co-polar power falls to kEdgeTaper of its axial value:
// walked at the scan's step, then solved (TOMS 748, full precision) between the samples that
// bracket it; hi if it never falls that far before hi. NaN when the solve reaches max_iterations.
double edge_angle(const Radiator &r, double hi, int max_iterations) {
  const auto co45 = [&](double t) {
    const auto p = r.planes(t);
    return std::norm(p.e_plane_v + p.h_plane_v);
  };
  const double level = kEdgeTaper * co45(0);
  const double step = 1 / ((r.ka() + 1) * kScanPerTurn);
  for (double t = step; t < hi; t += step) {
    if (co45(t) >= level)
      continue;
    auto iterations = static_cast<std::uintmax_t>(max_iterations);
    const auto root =
        boost::math::tools::toms748_solve([&](double x) { return co45(x) - level; }, t - step, t,
                                          boost::math::tools::eps_tolerance<double>(), iterations);
    return iterations < static_cast<std::uintmax_t>(max_iterations) ? (root.first + root.second) / 2
                                                                    : kNaN;
  }
  return hi;
}

// The phase centre by feed's definition (numeric/phase_fit.hpp, feed's fitted_m): the 45-degree
// co-polar field at composite Gauss-Legendre nodes over 0..edge.
double fitted_phase_centre_m(const Radiator &r, double edge_rad) {
  const auto nodes = nodes_over(r, edge_rad);
  std::vector<cplx> field;
  for (const double t : nodes.node) {
    const auto p = r.planes(t);
    field.push_back(p.e_plane_v + p.h_plane_v);
  }
  return numeric::fitted_phase_centre_m(nodes.node, nodes.weight, field, r.wavenumber_per_m())
      .value_or(kNaN);
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
  // Every figure but the radiated power is a ratio of the field (aperture_field.hpp).
  const ScaledField scaled = scaled_to_unit(aperture);
  const Radiator r(scaled.field);
  RadiationSummary s;
  const double power_w = radiated_power(r);
  s.radiated_power_w = std::ldexp(power_w, 2 * scaled.exponent);
  const auto axis = r.planes(0);
  s.directivity_dbi = 10 * std::log10(4 * kPi * std::norm(axis.e_plane_v) / (2 * kEta0) / power_w);

  const double within = options.xpol_within_deg * kDegree;
  const auto cross45 = [](const PlaneFields &p) {
    return std::norm(p.e_plane_v - p.h_plane_v) / 4;
  };
  // The co-polar power at theta is largest at phi = 0 or 90 degrees: |e c + h (1 - c)|^2 is convex
  // in c = cos^2 phi.
  const auto co_any = [](const PlaneFields &p) {
    return std::max(std::norm(p.e_plane_v), std::norm(p.h_plane_v));
  };
  const Scan samples = scan(r, within);
  const Peak cross = largest(r, samples, cross45, options.max_iterations);
  const Peak co = largest(r, samples, co_any, options.max_iterations);
  if (!cross.converged || !co.converged)
    return refused(Failure::not_converged);
  s.xpol_peak_db = 10 * std::log10(cross.value / co.value);
  s.xpol_peak_theta_deg = cross.theta_rad / kDegree;

  const double edge = options.phase_centre_within_deg > 0
                          ? options.phase_centre_within_deg * kDegree
                          : edge_angle(r, kPi / 2, options.max_iterations);
  if (std::isnan(edge))
    return refused(Failure::not_converged);
  s.phase_centre_within_deg = edge / kDegree;
  s.phase_centre_m = fitted_phase_centre_m(r, edge);

  const double reference =
      std::isnan(options.cut_reference_m) ? s.phase_centre_m : options.cut_reference_m;
  const double scale = std::sqrt(4 * kPi / (2 * kEta0 * power_w));
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
