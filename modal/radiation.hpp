// The far field of the aperture's TE1n/TM1n waves by the Huygens (Kirchhoff) aperture
// approximation, in closed form per mode: co- and cross-polar fields (Ludwig's third definition),
// radiated power, directivity, the peak cross-polar level of the 45-degree plane and the phase
// centre.
//
// Approximation. The aperture of radius a radiates as a disk in free space carrying the guide's
// forward transverse fields: each mode's own E_t and H_t = z^ x E_t / Z_n (its own wave impedance),
// and nothing outside the disk. The aperture's own reflection, the currents on the outside of the
// wall and its rim diffraction are neglected (Silver, "Microwave Antenna Theory and Design", 1949,
// ch. 5; Olver, Clarricoats, Kishk & Shafai, "Microwave Horns and Feeds", IEE 1994, ch. 3). The
// equivalent currents J = z^ x H_t, M = -z^ x E_t radiate, with time dependence exp(+j omega t), r
// E (the factor exp(-j k r) removed) of
//   E_theta = e(theta) cos(phi),   E_phi = -h(theta) sin(phi),
//   e = j k a^2 / 4 sum_n c_n (L0 -+ L2) (1 + (eta0/Z_n) cos theta)     (TE: -, TM: +)
//   h = j k a^2 / 4 sum_n c_n (L0 +- L2) (cos theta + eta0/Z_n)        (TE: +, TM: -)
// with c_n the ApertureField coefficient, x_n = kc a, u = k a sin theta and the Lommel integrals
//   Lm(x, u) = integral_0^1 Jm(x t) Jm(u t) t dt
//            = [x J(m+1)(x) Jm(u) - u Jm(x) J(m+1)(u)] / (x^2 - u^2)            (m = 0, 2).
// u = 0 (theta = 0 or pi) is a regular point of this form (L0 = J1(x)/x, L2 = 0). The removable
// singularity u = x is taken, for |u - x| < 0.01, by the Taylor series of the numerator about
// u = x to the sixth derivative (derivatives of Bessel functions by DLMF 10.6.7), divided by
// (x - u)(x + u) in closed form: both branches err below 2e-15 relative there (measured below).
// Boost.Math's cyl_bessel_j throughout.
//
// The aperture's own reflection, measured (bench/fullwave/fdtd.py, python3-meep, cylindrical m = 1,
// 2 cells/mm, bench/fullwave/results/open*_res2.csv): TE11 reflected into TE11 by an open-ended
// guide with a 3 mm wall, radiating into free space, against the matched guide this model assumes:
// the 60-slot horn's 60 mm aperture -36.0 to -40.8 dB from 9 to 12 GHz; the 15-period horn's 30 mm
// aperture (bench/fullwave/cases/horn.csv) -32.2 to -35.3 dB from 10 to 12.5 GHz; a 12 mm guide
// -24.7 dB at 10 GHz falling to -35.8 dB at 12.5 GHz. A corrugated aperture, whose nearly-HE11
// field vanishes at the rim, reflects less than this pure TE11: the 15-period horn's S11 with
// FDTD's aperture (results/horn_res2.csv) differs from the engine's matched one by -39, -47 and -50
// dB (complex difference) at 11.5, 12 and 12.5 GHz, aperture reflection and both methods' errors
// together. Against an S11 of -25 dB, a reflection of -40 dB moves it by up to 1.7 dB.
//
// Measured accuracy (radiation_test):
//  - far_field against an independent quadrature of the equivalent currents over the disk (60-point
//    Gauss-Legendre in r and in phi of the contract's field built from J1 and J1', Balanis's
//    radiation integrals): within 1.2e-15 relative for TE11, TM11 and TE12 of a 1.2-wavelength
//    aperture, with u on x, 3e-3 and 9.9e-3 from it (the Taylor branch) and away from it, at 0 to
//    143 degrees; the test holds 1e-14 (a Taylor series one order shorter errs 9e-14 at the band's
//    edge);
//  - radiated power: composite 20-point Gauss-Legendre over 0..pi (numeric/composite_gauss) at 12
//    radians of turn (k a + 1 per radian) per panel; against Boost's adaptive Gauss-Kronrod at
//    1e-14 within 1.5e-15 relative for apertures of 1 to 20 wavelengths;
//  - the approximation itself: the far-field power equals the aperture power within 4.2e-6 for a
//    TE11 + TM11 field that vanishes at the rim (5 wavelengths), while pure TE11, whose field does
//    not vanish there, radiates 0.32 % less at 10 wavelengths (0.6 % at 5, 2.8 % at 1): the rim's
//    discontinuity is where Kirchhoff's approximation is worst. TE11's aperture efficiency tends to
//    Silver's 0.837 (0.8395 at 10 wavelengths);
//  - the peaks: the scan samples 2 points per radian of turn and Brent's method, at half the
//    double's bits, converges within 8 to 10 iterations (1 to 20 wavelengths; the default limit
//    60); cross-polar peaks agree to 1e-9 dB and phase centres to 1e-10 relative with 5 points per
//    radian;
//  - cost (CPU time, g++ -O2, 2 vCPUs under load): radiate() with 91-angle cuts 0.7 ms for an
//    aperture of 1 wavelength and 20 modes, 1.4 ms for 2 wavelengths and 48 modes, 2.8 ms for 6
//    wavelengths and 80 modes; one direction (planes()) 3 to 7 us of wall time for 18 to 80 modes.
// Figures of the test's apertures: peak 45-degree cross-polar level of pure TE11 -18.48 dB
// (2 wavelengths), -18.32 dB (5); of TE11 + 0.5043 TM11, the projection of the balanced HE11 field
// x^ J0(j01 r / a) on the two modes, -32.30 and -32.19 dB.
// Every computation is bounded: k a and the mode count are limited (check_aperture).
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <limits>
#include <vector>

#include "modal/aperture_field.hpp"
#include "modal/failure.hpp"

namespace kelvor::modal {

// r E in volts (the far field times the distance, exp(-j k r) removed), phase referred to an axial
// point. Ludwig 3 for the x-polarised aperture: co = E_theta cos phi - E_phi sin phi,
// cross = E_theta sin phi + E_phi cos phi.
struct FarField {
  std::complex<double> e_theta_v, e_phi_v, co_v, cross_v;
};

// The two functions of theta that make up an order-1 far field: the E-plane (phi = 0) and H-plane
// (phi = 90 degrees) co-polar fields, r E in volts. At any phi, co = e cos^2 + h sin^2 and
// cross = (e - h) sin phi cos phi; in the 45-degree plane co = (e + h)/2, cross = (e - h)/2.
struct PlaneFields {
  std::complex<double> e_plane_v, h_plane_v;
};

// The limit that bounds the work: k a (an aperture of about 320 wavelengths in radius).
inline constexpr double kMaxApertureKa = 2000;

// Failure::none for a finite positive radius and frequency, finite coefficients, not all zero, k a
// within the limit above, no more modes of a kind than modes.hpp's table holds and no TM mode
// exactly at its cut-off (whose H field would be infinite); Failure::invalid_input or
// Failure::too_much_work otherwise.
Failure check_aperture(const ApertureField &aperture);

// The aperture's modes prepared once (cut-offs, Bessel values at kc a, impedances); then any
// number of directions. Read-only after construction; requires check_aperture(aperture) ==
// Failure::none.
class Radiator {
public:
  explicit Radiator(const ApertureField &aperture);

  // e and h at theta (0..pi), phase referred to the axial point reference_m behind the aperture
  // plane (positive inside the horn): the field is multiplied by exp(+j k p cos theta), so a point
  // source at p gives a phase flat in theta.
  PlaneFields planes(double theta_rad, double reference_m = 0) const;
  FarField field(double theta_rad, double phi_rad, double reference_m = 0) const;

  double wavenumber_per_m() const { return k_; }
  double ka() const { return k_ * a_; }

  struct Mode {
    double x;                 // kc a
    bool te;                  // TE1n (true) or TM1n
    std::complex<double> c;   // the aperture coefficient times j k a^2 / 4
    std::complex<double> y;   // eta0 / Z
    double norm_m2;           // integral of |E_t|^2 over the disk for a unit coefficient
    std::array<double, 10> j; // J0 .. J9 at x, for the Taylor branch at u = x
  };

private:
  double k_, a_;
  std::vector<Mode> modes_;
};

// Convenience: one direction of one aperture (Radiator constructed each call).
FarField far_field(const ApertureField &aperture, double theta_rad, double phi_rad,
                   double reference_m = 0);

// The power (W) the aperture's forward waves carry through the disk: (1/2) Re integral of
// E x H* . z over it, in closed form (the modes are orthogonal; evanescent modes carry none).
double aperture_power_w(const ApertureField &aperture);

struct RadiationOptions {
  double xpol_within_deg = 90; // the cross-polar peak is sought over 0 <= theta <= this
  // The phase centre is fitted over 0..this; 0: to where the 45-degree co-polar power first falls
  // 12 dB below the axis (the usual edge taper of a feed; solved for, at most 90 degrees).
  double phase_centre_within_deg = 0;
  std::vector<double> cut_theta_deg; // the angles of the three pattern cuts, each 0..180
  // The phase reference of the cuts (m behind the aperture plane); NaN: the fitted phase centre.
  double cut_reference_m = std::numeric_limits<double>::quiet_NaN();
  int max_iterations = 60; // iteration limit of each Brent refinement and edge solve
};

// One cut at azimuth phi_deg: co- and cross-polar fields (Ludwig 3) normalised so that |co|^2 and
// |cross|^2 are the partial directivities (linear) in that direction, with their phase.
struct RadiationCut {
  double phi_deg = 0;
  std::vector<std::complex<double>> co, cross;
};

struct RadiationSummary {
  Failure failure = Failure::none;
  double radiated_power_w = 0; // |r E|^2 / (2 eta0) integrated over the whole sphere
  double directivity_dbi = 0;  // on the axis, 10 log10 (4 pi U(0) / radiated power)
  // The largest 45-degree cross-polar power over 0..xpol_within_deg relative to the largest
  // co-polar power at any phi over the same angles (dB), and where it lies.
  double xpol_peak_db = 0, xpol_peak_theta_deg = 0;
  double phase_centre_m = 0;          // fitted to the 45-degree co-polar phase (feed's fitted_m)
  double phase_centre_within_deg = 0; // the angle range of that fit
  std::vector<double> theta_deg;      // the cuts' angles (a copy of the request)
  std::array<RadiationCut, 3> cuts;   // phi = 0 (E), 45, 90 (H) degrees
};

// Everything above for one aperture. Failure::invalid_input for a refused aperture or option
// (angles outside 0..180 degrees, xpol_within_deg not in (0, 180], iterations < 1),
// Failure::not_converged when a Brent refinement or the edge solve reaches max_iterations; the
// numbers are then NaN.
RadiationSummary radiate(const ApertureField &aperture, const RadiationOptions &options = {});

} // namespace kelvor::modal
