// A step between two coaxial circular guides, radius a (small) and b (large), by mode matching
// (Wexler 1967; James 1981). The transverse E field is continuous over the aperture r < a and
// vanishes on the annular wall a < r < b: projected on the large guide's modes. The transverse H
// field is continuous over the aperture: projected on the small guide's modes. Both projections use
// the one coupling matrix X_mn = <e_m(small), e_n(large)> over r < a of the power-normalised
// profiles, which depends on the radii alone: computed once per geometry and reused at every
// frequency. Mode counts in proportion to the radii keep the two expansions at the same spatial
// resolution (relative convergence, Mittra, Itoh & Li 1972). With M = diag(1/sqrt(Z_large)) X^T
// diag(sqrt(Z_small)) and F = I + M^T M, the generalised scattering matrix, port 1 the small guide,
// port 2 the large one, power-wave amplitudes, is
//   S11 = 2 F^-1 - I,  S12 = 2 F^-1 M^T,  S21 = S12^T,  S22 = 2 M F^-1 M^T - I:
// symmetric (reciprocal) and, for the propagating modes, lossless at any truncation.
#pragma once

#include <complex>
#include <vector>

#include <Eigen/Dense>

#include "modal/modes.hpp"

namespace kelvor::modal {

// Closed-form coupling integral over r < a of the unnormalised profiles (aperture_field.hpp) of
// mode m of the guide of radius a and mode n of the guide of radius b >= a, by Green's theorem on
// the potentials and Lommel's integral of J1(pr) J1(qr) r (p = k_c of m, q = k_c of n), m^2:
//   TE-TE  pi a p J1(pa) J1'(qa) / (p^2 - q^2)
//   TM-TM -pi a q J1'(pa) J1(qa) / (p^2 - q^2)
//   TE-TM  pi J1(pa) J1(qa) / (p q)                 (the boundary term of Stokes' theorem)
//   TM-TE  0                                        (the small guide's TM potential vanishes at r =
//   a)
// with the limit of equal wavenumbers where p = q.
double coupling_integral_m2(const Mode &m, double a_m, const Mode &n, double b_m);

// The coupling matrix of the power-normalised profiles, small.size() x large.size().
Eigen::MatrixXd coupling_matrix(const std::vector<Mode> &small, double a_m,
                                const std::vector<Mode> &large, double b_m);

struct ScatteringMatrix {
  Eigen::MatrixXcd s11, s12, s21, s22;
};

// The step's GSM at one frequency from its coupling matrix and the square roots of the relative
// wave impedances of the modes of either guide; port 1 is the small guide.
ScatteringMatrix step_scattering(const Eigen::MatrixXd &coupling,
                                 const Eigen::VectorXcd &sqrt_z_small,
                                 const Eigen::VectorXcd &sqrt_z_large);

// The same step seen from the other side: ports exchanged.
ScatteringMatrix mirrored(ScatteringMatrix s);

} // namespace kelvor::modal
