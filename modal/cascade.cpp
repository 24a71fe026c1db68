#include "modal/cascade.hpp"

namespace kelvor::modal {

ScatteringMatrix star(const ScatteringMatrix &a, const ScatteringMatrix &b) {
  // With L = I - B11 A22:  (I - A22 B11)^-1 = I + A22 L^-1 B11, so one LU gives all four blocks:
  //   S11 = A11 + A12 L^-1 B11 A21        S12 = A12 L^-1 B12
  //   S21 = B21 (A21 + A22 L^-1 B11 A21)  S22 = B22 + B21 A22 L^-1 B12
  const auto n = a.s22.rows();
  const Eigen::PartialPivLU<Eigen::MatrixXcd> lu(Eigen::MatrixXcd::Identity(n, n) - b.s11 * a.s22);
  const Eigen::MatrixXcd u1 = lu.solve(b.s11 * a.s21);
  const Eigen::MatrixXcd u2 = lu.solve(b.s12);
  ScatteringMatrix s;
  s.s11 = a.s11 + a.s12 * u1;
  s.s12 = a.s12 * u2;
  s.s21 = b.s21 * (a.s21 + a.s22 * u1);
  s.s22 = b.s22 + b.s21 * (a.s22 * u2);
  return s;
}

void append_propagation(ScatteringMatrix &a, const Eigen::VectorXcd &propagation) {
  a.s12 = a.s12 * propagation.asDiagonal();
  a.s21 = propagation.asDiagonal() * a.s21;
  a.s22 = propagation.asDiagonal() * a.s22 * propagation.asDiagonal();
}

ScatteringMatrix uniform_section(const Eigen::VectorXcd &propagation) {
  const auto n = propagation.size();
  const Eigen::MatrixXcd zero = Eigen::MatrixXcd::Zero(n, n);
  const Eigen::MatrixXcd p = propagation.asDiagonal();
  return {zero, p, p, zero};
}

} // namespace kelvor::modal
