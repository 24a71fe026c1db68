// The contract between the cascade and the radiation: the forward waves at the aperture.
#pragma once

#include <algorithm>
#include <cmath>
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

// The field times 2^-exponent, where 2^exponent bounds its largest amplitude (0 for a zero field).
// The figures of a field that are ratios of it (directivity, cross-polar level, phase centre,
// relative cuts, purity) do not depend on its scale, but a long section below cut-off can leave
// amplitudes near 1e-190 whose squares fall below the smallest double: computed from this field,
// they keep their values. A power of two rounds nothing, so a field of ordinary size gives the same
// bits either way.
struct ScaledField {
  ApertureField field;
  int exponent = 0;
};

inline ScaledField scaled_to_unit(const ApertureField &field) {
  double largest = 0;
  for (const auto *amplitudes : {&field.te, &field.tm})
    for (const std::complex<double> &c : *amplitudes)
      largest = std::max({largest, std::abs(c.real()), std::abs(c.imag())});
  ScaledField out{field, 0};
  if (std::isfinite(largest)) // frexp(0) gives 0: a zero field stays as it is
    std::frexp(largest, &out.exponent);
  for (auto *amplitudes : {&out.field.te, &out.field.tm})
    for (std::complex<double> &c : *amplitudes)
      c = {std::ldexp(c.real(), -out.exponent), std::ldexp(c.imag(), -out.exponent)};
  return out;
}

} // namespace kelvor::modal
