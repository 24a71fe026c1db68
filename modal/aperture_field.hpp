// The contract between the cascade and the radiation: the forward waves at the aperture.
#pragma once

#include <complex>
#include <vector>

namespace kelvor::modal {

// Forward waves at the aperture plane z = 0 of a circular guide of radius a, azimuthal order 1,
// polarisation with the transverse E field x-directed on the axis. Transverse E field:
//   E_t = sum_n te[n] * [ J1(kc r)/(kc r) cos(phi) r^ - J1'(kc r) sin(phi) phi^ ]      kc = j'_1n /
//   a
//       + sum_n tm[n] * [ J1'(kc r) cos(phi) r^ - J1(kc r)/(kc r) sin(phi) phi^ ]    kc = j_1n / a
// (V/m, with these unnormalised Bessel profiles), each mode's H_t = z^ x E_t / Z_n with its own
// wave impedance Z_TE = k eta0 / beta, Z_TM = beta eta0 / k (beta = sqrt(k^2 - kc^2), -j|beta| when
// evanescent, time dependence exp(+j omega t)).
// The cascade fills it for an incident TE11 wave of 1 W in the input guide, so a lossless horn
// whose aperture reflection is neglected radiates 1 W less the reflected power.
struct ApertureField {
  double radius_m = 0, freq_ghz = 0;
  std::vector<std::complex<double>> te, tm; // te[n-1] is TE1n, tm[n-1] is TM1n
};

} // namespace kelvor::modal
