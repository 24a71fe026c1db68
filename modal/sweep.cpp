#include "modal/sweep.hpp"

#include <vector>

#include "modal/units.hpp"

namespace kelvor::modal {

namespace {

using Lu = Eigen::PartialPivLU<Eigen::MatrixXcd>;

// c y for a complex c and a real y as one real product: a column-major complex matrix is the real
// matrix of twice its rows, real and imaginary parts interleaved.
template <class Real> Eigen::MatrixXcd times_real(const Eigen::MatrixXcd &c, const Real &y) {
  Eigen::MatrixXcd out(c.rows(), y.cols());
  Eigen::Map<Eigen::MatrixXd>(reinterpret_cast<double *>(out.data()), 2 * out.rows(), out.cols())
      .noalias() = Eigen::Map<const Eigen::MatrixXd>(reinterpret_cast<const double *>(c.data()),
                                                     2 * c.rows(), c.cols()) *
                   y;
  return out;
}

// Step i seen from its near side (section i) toward its load (section i + 1): the far-by-near
// coupling Y, the scalings E_f, E_n and the sign s of sweep.hpp.
struct StepView {
  const Eigen::MatrixXd &coupling; // small-by-large: Y = coupling^T when widening
  bool widening;
  Eigen::VectorXcd e_far, e_near;
  double sign;

  Eigen::MatrixXcd times_y(const Eigen::MatrixXcd &c) const {
    return widening ? times_real(c, coupling.transpose()) : times_real(c, coupling);
  }
  Eigen::MatrixXcd times_y_transposed(const Eigen::MatrixXcd &c) const {
    return widening ? times_real(c, coupling) : times_real(c, coupling.transpose());
  }
};

StepView step_view(const Staircase &staircase, std::size_t i,
                   const std::vector<ModalWaves> &waves) {
  const Step &step = staircase.steps[i];
  const Eigen::VectorXcd &near = waves[i].sqrt_z, &far = waves[i + 1].sqrt_z;
  const Eigen::MatrixXd &coupling = staircase.couplings[step.coupling];
  if (step.widening)
    return {coupling, true, far.cwiseInverse(), near, -1};
  return {coupling, false, far, near.cwiseInverse(), 1};
}

// The reflection seen from the step's near side, its load's reflection g at its far side; lu keeps
// the factors of H for the forward sweep.
Eigen::MatrixXcd reflection(const StepView &v, const Eigen::MatrixXcd &g, Lu &lu) {
  Eigen::MatrixXcd load = v.sign * g;
  load.diagonal().array() += 1.0;
  const Eigen::MatrixXcd r = v.times_y(load * v.e_far.asDiagonal()) * v.e_near.asDiagonal();
  Eigen::MatrixXcd h =
      v.times_y_transposed(r * v.e_near.asDiagonal()) * v.e_far.asDiagonal() - v.sign * g;
  h.diagonal().array() += 1.0;
  lu.compute(h);
  const Eigen::MatrixXcd solved = lu.solve(r);
  Eigen::MatrixXcd gamma =
      v.times_y(solved.transpose() * v.e_far.asDiagonal()) * (2 * v.sign * v.e_near).asDiagonal();
  gamma.diagonal().array() -= v.sign;
  return gamma;
}

// The wave leaving the step into its far side for the wave a arriving at its near side.
Eigen::VectorXcd transmitted(const StepView &v, const Lu &lu, const Eigen::VectorXcd &a) {
  // (Y E_n a)^T as the row (E_n a)^T times Y^T.
  const Eigen::MatrixXcd row = v.e_near.cwiseProduct(a).transpose();
  const Eigen::VectorXcd b = v.e_far.cwiseProduct(v.times_y_transposed(row).transpose());
  // Assigned alone: Eigen evaluates a transposed solve only as a whole assignment.
  Eigen::VectorXcd wave = lu.transpose().solve(b);
  return 2 * wave;
}

} // namespace

Te11Response te11_response(const Staircase &staircase, double freq_ghz) {
  const double k = wavenumber_per_m(freq_ghz);
  std::vector<ModalWaves> waves;
  for (const GuideSection &section : staircase.sections)
    waves.push_back(modal_waves(section, k));
  // Backward from the matched aperture: the reflection seen at each step's near side.
  const Eigen::Index last = waves.back().sqrt_z.size();
  Eigen::MatrixXcd gamma = Eigen::MatrixXcd::Zero(last, last);
  std::vector<Lu> factors(staircase.steps.size());
  for (std::size_t i = staircase.steps.size(); i-- > 0;) {
    const Eigen::VectorXcd &p = waves[i + 1].propagation;
    gamma = reflection(step_view(staircase, i, waves), p.asDiagonal() * gamma * p.asDiagonal(),
                       factors[i]);
  }
  // Forward: one TE11 wave through the input guide, then each step and the section after it.
  const std::complex<double> p11 = waves.front().propagation(0);
  Te11Response response{p11 * gamma(0, 0) * p11,
                        Eigen::VectorXcd::Zero(waves.front().sqrt_z.size())};
  response.forward(0) = p11;
  for (std::size_t i = 0; i < staircase.steps.size(); ++i)
    response.forward = waves[i + 1].propagation.cwiseProduct(
        transmitted(step_view(staircase, i, waves), factors[i], response.forward));
  return response;
}

} // namespace kelvor::modal
