#include "modal/junction.hpp"

#include <cmath>

#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/bessel_prime.hpp>

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {

double j1(double x) {
  return boost::math::cyl_bessel_j(1, x);
}

double j1_prime(double x) {
  return boost::math::cyl_bessel_j_prime(1, x);
}

// Lommel: the integral over 0 < r < a of J1(pr) J1(qr) r, and its limit at p = q.
double lommel_j1_m2(double p, double q, double a) {
  const double pa = p * a, qa = q * a;
  // Below a relative difference of 1e-8 the cancellation in p^2 - q^2 would cost more digits than
  // the limit form's neglect of the difference: either way about 1e-8 relative at worst.
  if (std::abs(p - q) <= 1e-8 * (p + q)) {
    const double jp = j1_prime(pa), j = j1(pa);
    return a * a / 2 * (jp * jp + (1 - 1 / (pa * pa)) * j * j);
  }
  return a * (q * j1(pa) * j1_prime(qa) - p * j1_prime(pa) * j1(qa)) / (p * p - q * q);
}

} // namespace

double coupling_integral_m2(const Mode &m, double a_m, const Mode &n, double b_m) {
  const double p = m.cutoff_ka / a_m, q = n.cutoff_ka / b_m;
  if (m.kind == ModeKind::te && n.kind == ModeKind::te) // <-z x grad psi/p, -z x grad chi/q>
    return kPi * p / q * lommel_j1_m2(p, q, a_m);
  if (m.kind == ModeKind::tm && n.kind == ModeKind::tm) // <grad psi/p, grad chi/q>
    return kPi * q / p * lommel_j1_m2(p, q, a_m);
  if (m.kind == ModeKind::te) // the rim integral of psi d(chi)/d(phi)
    return kPi * j1(p * a_m) * j1(q * a_m) / (p * q);
  return 0;
}

Eigen::MatrixXd coupling_matrix(const std::vector<Mode> &small, double a_m,
                                const std::vector<Mode> &large, double b_m) {
  Eigen::MatrixXd x(small.size(), large.size());
  for (std::size_t i = 0; i < small.size(); ++i) {
    const double norm_i = profile_norm_m2(small[i], a_m);
    for (std::size_t j = 0; j < large.size(); ++j)
      x(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) =
          coupling_integral_m2(small[i], a_m, large[j], b_m) /
          std::sqrt(norm_i * profile_norm_m2(large[j], b_m));
  }
  return x;
}

ScatteringMatrix step_scattering(const Eigen::MatrixXd &coupling, const Eigen::VectorXcd &sqrt_z_small,
                                 const Eigen::VectorXcd &sqrt_z_large) {
  // Voltages: sqrt(Z2)(a2 + b2) = X^T sqrt(Z1)(a1 + b1) on the large guide's modes; currents:
  // (a1 - b1)/sqrt(Z1) = X (b2 - a2)/sqrt(Z2) on the small guide's modes.
  const Eigen::MatrixXcd m =
      sqrt_z_large.cwiseInverse().asDiagonal() * coupling.transpose().cast<std::complex<double>>() *
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
