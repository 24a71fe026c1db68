// The azimuthal-order-1 modes of a circular waveguide: TE1n and TM1n. A TE11 wave incident on a
// body of revolution couples to order 1 alone, and one polarisation (E along x on the axis) stands
// for both. Cut-offs k_c a are the zeros j'_1n of J1' (TE) and j_1n of J1 (TM); they interlace,
// j'_11 < j_11 < j'_12 < j_12 < ..., so the modes by ascending cut-off alternate TE1n, TM1n.
// The zeros of J1 come from Boost.Math's cyl_bessel_j_zero; those of J1' from a bracketed TOMS 748
// solve between consecutive zeros of J1 (the interlacing brackets them), to 2 ulp; both tabled
// once. A solve that exhausts its iteration limit ends the table there (mode_table_size()).
#pragma once

#include <complex>
#include <vector>

namespace kelvor::modal {

enum class ModeKind { te, tm };

struct Mode {
  ModeKind kind;
  int n;            // radial index, 1-based
  double cutoff_ka; // k_c a: j'_1n for TE, j_1n for TM
};

// The most modes (TE and TM together) the zero table holds.
inline constexpr int kMaxModes = 1024;

// How many modes the table holds: kMaxModes unless a root solve failed to converge.
int mode_table_size();

// How many modes have a cut-off k_c a below cutoff_ka; mode_table_size() + 1 beyond the table.
int modes_below(double cutoff_ka);

// The first count modes by ascending cut-off, at most mode_table_size() of them.
std::vector<Mode> lowest_modes(int count);

// Integral over the guide's cross-section (radius_m) of |e|^2 for the unnormalised transverse field
// profile of aperture_field.hpp, m^2: pi a^2/2 (1 - 1/x^2) J1(x)^2 (TE, x = j'_1n) and
// pi a^2/2 J1'(x)^2 (TM, x = j_1n), by Lommel's integral of J1^2.
double profile_norm_m2(const Mode &mode, double radius_m);

// The axial wavenumber beta = sqrt(k^2 - kc^2), -j|beta| below cut-off (exp(+j omega t - j beta
// z)).
std::complex<double> axial_wavenumber(const Mode &mode, double radius_m, double k_per_m);

// The wave impedance over eta0: k / beta (TE), beta / k (TM).
std::complex<double> relative_impedance(const Mode &mode, std::complex<double> beta,
                                        double k_per_m);

} // namespace kelvor::modal
