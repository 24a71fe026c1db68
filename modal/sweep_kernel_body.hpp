// The body of the sweep kernel (sweep_kernel.hpp), included once by each translation unit that
// builds it: KELVOR_SWEEP_KERNEL names the function, Eigen is whatever that unit included. All of
// it but that function has internal linkage. No include guard: meant to be included once per unit.
//
// A step's algebra is sweep.hpp's. The factorisation of H keeps only what the two sweeps use: the
// LU factors and the row transpositions (Eigen's partial-pivoting LU in place), without the
// condition estimate's L1 norm that Eigen's PartialPivLU also computes.
#include <utility>
#include <vector>

#include "modal/sweep_kernel.hpp"

namespace {

using Matrix = Eigen::MatrixXcd;
using Vector = Eigen::VectorXcd;
using VectorView = Eigen::Map<const Eigen::VectorXcd>;
using RealView = Eigen::Map<const Eigen::MatrixXd>;
using Transpositions = Eigen::Transpositions<Eigen::Dynamic, Eigen::Dynamic, int>;

// c y for a complex c and a real y as one real product: a column-major complex matrix is the real
// matrix of twice its rows, real and imaginary parts interleaved.
template <class Real> Matrix times_real(const Matrix &c, const Real &y) {
  Matrix out(c.rows(), y.cols());
  Eigen::Map<Eigen::MatrixXd>(reinterpret_cast<double *>(out.data()), 2 * out.rows(), out.cols())
      .noalias() = RealView(reinterpret_cast<const double *>(c.data()), 2 * c.rows(), c.cols()) * y;
  return out;
}

// Step i seen from its near side (section i) toward its load (section i + 1): the far-by-near
// coupling Y, the scalings E_f, E_n and the sign s of sweep.hpp.
struct StepView {
  RealView coupling; // small-by-large: Y = coupling^T when widening
  bool widening;
  Vector e_far, e_near;
  double sign;

  Matrix times_y(const Matrix &c) const {
    return widening ? times_real(c, coupling.transpose()) : times_real(c, coupling);
  }
  Matrix times_y_transposed(const Matrix &c) const {
    return widening ? times_real(c, coupling) : times_real(c, coupling.transpose());
  }
};

StepView step_view(const kelvor::modal::kernel::Section *sections,
                   const kelvor::modal::kernel::Coupling &coupling, std::size_t i) {
  const VectorView near(sections[i].sqrt_z, sections[i].modes),
      far(sections[i + 1].sqrt_z, sections[i + 1].modes);
  // Either guide may hold more modes: the narrower one's bore can give it the higher cut-off.
  if (coupling.widening)
    return {RealView(coupling.matrix, near.size(), far.size()), true, far.cwiseInverse(), near, -1};
  return {RealView(coupling.matrix, far.size(), near.size()), false, far, near.cwiseInverse(), 1};
}

// A section's propagation factors.
VectorView propagation(const kelvor::modal::kernel::Section &section) {
  return {section.propagation, section.modes};
}

// The LU factors of H, P H = L U.
struct Factors {
  Matrix lu;
  Transpositions rows;
};

// The reflection seen from the step's near side, gamma the reflection at the start of the far
// section and p that section's propagation (its load's reflection at the step is P gamma P); keeps
// the factors of H for the forward sweep. Each diagonal scaling is one pass over its matrix.
Matrix reflection(const StepView &v, const Matrix &gamma, const VectorView &p, Factors &factors) {
  const double s = v.sign;
  const auto g = (gamma.array().colwise() * p.array()).rowwise() * p.array().transpose();
  Matrix load = (s * g).rowwise() * v.e_far.array().transpose(); // (I + s G) E_f
  load.diagonal() += v.e_far;
  const Matrix c = v.times_y(load);
  const Matrix r = c.array().rowwise() * v.e_near.array().transpose();
  Matrix h = v.times_y_transposed(r.array().rowwise() * v.e_near.array().transpose());
  h = h.array().rowwise() * v.e_far.array().transpose() - s * g;
  h.diagonal().array() += 1.0;
  factors.lu = std::move(h);
  factors.rows.resize(factors.lu.rows());
  int swaps = 0;
  Eigen::internal::partial_lu_inplace(factors.lu, factors.rows, swaps);
  Matrix solved = factors.rows * r;
  factors.lu.triangularView<Eigen::UnitLower>().solveInPlace(solved);
  factors.lu.triangularView<Eigen::Upper>().solveInPlace(solved);
  Matrix out = v.times_y(solved.transpose().array().rowwise() * v.e_far.array().transpose());
  out = out.array().rowwise() * (2 * s * v.e_near).array().transpose();
  out.diagonal().array() -= s;
  return out;
}

// The wave leaving the step into its far side for the wave a arriving at its near side: 2 H^-T B a,
// with H^T = U^T L^T P.
Vector transmitted(const StepView &v, const Factors &factors, const Vector &a) {
  // (Y E_n a)^T as the row (E_n a)^T times Y^T.
  const Matrix row = v.e_near.cwiseProduct(a).transpose();
  const Vector b = v.e_far.cwiseProduct(v.times_y_transposed(row).transpose());
  Vector wave = factors.lu.triangularView<Eigen::Upper>().transpose().solve(b);
  factors.lu.triangularView<Eigen::UnitLower>().transpose().solveInPlace(wave);
  const Vector unpermuted = factors.rows.transpose() * wave;
  return 2 * unpermuted;
}

} // namespace

namespace kelvor::modal::kernel {

std::complex<double> KELVOR_SWEEP_KERNEL(const Section *sections, const Coupling *couplings,
                                         std::size_t steps, std::complex<double> *forward) {
  // Backward from the matched aperture: the reflection seen at each step's near side.
  const Eigen::Index last = sections[steps].modes;
  Matrix gamma = Matrix::Zero(last, last);
  std::vector<Factors> factors(steps);
  for (std::size_t i = steps; i-- > 0;)
    gamma = reflection(step_view(sections, couplings[i], i), gamma, propagation(sections[i + 1]),
                       factors[i]);
  // Forward: one TE11 wave through the input guide, then each step and the section after it.
  const std::complex<double> p11 = sections[0].propagation[0];
  Vector wave = Vector::Zero(sections[0].modes);
  wave(0) = p11;
  for (std::size_t i = 0; i < steps; ++i)
    wave = propagation(sections[i + 1])
               .cwiseProduct(transmitted(step_view(sections, couplings[i], i), factors[i], wave));
  Eigen::Map<Vector>(forward, wave.size()) = wave;
  return p11 * gamma(0, 0) * p11;
}

} // namespace kelvor::modal::kernel
