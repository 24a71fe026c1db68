#include "modal/junction.hpp"

#include <cmath>

#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {

// Double precision throughout: no promotion to long double inside Boost's Bessel functions.
using Policy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

// A mode's wavenumber and J1, J1' at the rim r = a of the aperture (a the smaller radius).
struct RimValues {
  ModeKind kind;
  double kc, j1, j1_prime;
};

RimValues rim_values(const Mode &mode, double guide_radius_m, double rim_m) {
  const double kc = mode.cutoff_ka / guide_radius_m;
  return {mode.kind, kc, boost::math::cyl_bessel_j(1, kc * rim_m, Policy()),
          boost::math::cyl_bessel_j_prime(1, kc * rim_m, Policy())};
}

// Lommel: the integral over 0 < r < a of J1(pr) J1(qr) r, and its limit at p = q.
double lommel_j1_m2(const RimValues &m, const RimValues &n, double a) {
  const double p = m.kc, q = n.kc;
  // Below a relative difference of 1e-8 the cancellation in p^2 - q^2 would cost more digits than
  // the limit form's neglect of the difference: either way about 1e-8 relative at worst.
  if (std::abs(p - q) <= 1e-8 * (p + q)) {
    const double pa = p * a;
    return a * a / 2 * (m.j1_prime * m.j1_prime + (1 - 1 / (pa * pa)) * m.j1 * m.j1);
  }
  return a * (q * m.j1 * n.j1_prime - p * m.j1_prime * n.j1) / (p * p - q * q);
}

double coupling_at_rim_m2(const RimValues &m, const RimValues &n, double a) {
  const double p = m.kc, q = n.kc;
  if (m.kind == ModeKind::te && n.kind == ModeKind::te) // <-z x grad psi/p, -z x grad chi/q>
    return kPi * p / q * lommel_j1_m2(m, n, a);
  if (m.kind == ModeKind::tm && n.kind == ModeKind::tm) // <grad psi/p, grad chi/q>
    return kPi * q / p * lommel_j1_m2(m, n, a);
  if (m.kind == ModeKind::te) // the rim integral of psi d(chi)/d(phi)
    return kPi * m.j1 * n.j1 / (p * q);
  return 0;
}

} // namespace

double coupling_integral_m2(const Mode &m, double a_m, const Mode &n, double b_m) {
  return coupling_at_rim_m2(rim_values(m, a_m, a_m), rim_values(n, b_m, a_m), a_m);
}

Eigen::MatrixXd coupling_matrix(const std::vector<Mode> &small, double a_m,
                                const std::vector<Mode> &large, double b_m) {
  // The Bessel functions once per mode, not once per pair.
  std::vector<RimValues> rim_small, rim_large;
  Eigen::VectorXd norm_small(small.size()), norm_large(large.size());
  for (std::size_t i = 0; i < small.size(); ++i) {
    rim_small.push_back(rim_values(small[i], a_m, a_m));
    norm_small(static_cast<Eigen::Index>(i)) = 1 / std::sqrt(profile_norm_m2(small[i], a_m));
  }
  for (std::size_t j = 0; j < large.size(); ++j) {
    rim_large.push_back(rim_values(large[j], b_m, a_m));
    norm_large(static_cast<Eigen::Index>(j)) = 1 / std::sqrt(profile_norm_m2(large[j], b_m));
  }
  Eigen::MatrixXd x(small.size(), large.size());
  for (Eigen::Index i = 0; i < x.rows(); ++i)
    for (Eigen::Index j = 0; j < x.cols(); ++j)
      x(i, j) = coupling_at_rim_m2(rim_small[static_cast<std::size_t>(i)],
                                   rim_large[static_cast<std::size_t>(j)], a_m) *
                norm_small(i) * norm_large(j);
  return x;
}

ScatteringMatrix step_scattering(const Eigen::MatrixXd &coupling,
                                 const Eigen::VectorXcd &sqrt_z_small,
                                 const Eigen::VectorXcd &sqrt_z_large) {
  // Voltages: sqrt(Z2)(a2 + b2) = X^T sqrt(Z1)(a1 + b1) on the large guide's modes; currents:
  // (a1 - b1)/sqrt(Z1) = X (b2 - a2)/sqrt(Z2) on the small guide's modes.
  const Eigen::MatrixXcd m = sqrt_z_large.cwiseInverse().asDiagonal() *
                             coupling.transpose().cast<std::complex<double>>() *
                             sqrt_z_small.asDiagonal();
  const auto n1 = m.cols(), n2 = m.rows();
  const Eigen::MatrixXcd f = Eigen::MatrixXcd::Identity(n1, n1) + m.transpose() * m;
  const Eigen::PartialPivLU<Eigen::MatrixXcd> lu(f);
  ScatteringMatrix s;
  s.s11 = 2 * lu.inverse() - Eigen::MatrixXcd::Identity(n1, n1);
  s.s12 = 2 * lu.solve(m.transpose());
  s.s21 = s.s12.transpose();
  s.s22 = m * s.s12 - Eigen::MatrixXcd::Identity(n2, n2);
  return s;
}

ScatteringMatrix mirrored(ScatteringMatrix s) {
  return {std::move(s.s22), std::move(s.s21), std::move(s.s12), std::move(s.s11)};
}

} // namespace kelvor::modal
