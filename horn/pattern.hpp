// Far-field pattern of the corrugated-horn aperture (balanced hybrid mode).
#pragma once

#include <array>
#include <span>

#include "horn/aperture_integral.hpp"

namespace kelvor::horn {

// LEVEL (dB, absolute, not normalised) and PHASE (degrees, -180 ... 180) of the pattern at
// THETA radians off the axis of a horn of aperture radius ARAD and slant radius SRAD (inches)
// at FREQ (GHz). A magnitude below 1e-6 gives LEVEL = -120 and PHASE = 0.
void CCH11(const float &FREQ, const float &ARAD, const float &SRAD, const float &THETA,
           float &LEVEL, float &PHASE);

// The same LEVEL and PHASE as CCH11, bit for bit, at a fraction of the cost: the integrand's
// Bessel values and phase factors are each computed once (APINT). CCH11 stays the definition it is
// tested against. (Where the result is NaN, its sign and payload may differ: they follow the
// compiler's choice of operand order, and the record layer writes every NaN alike.)
void CCH11F(const float &FREQ, const float &ARAD, const float &SRAD, const float &THETA,
            float &LEVEL, float &PHASE);

// The pattern of one horn at one frequency, point by point: LEVEL and PHASE at every THETA are
// those of CCH11F (so of CCH11, bit for bit). What does not depend on the angle (the wavelength,
// the rim phase and its phase factors) is computed once, and the points of a cut, or the five
// angles of a phase centre, share it. The object is not changed by a point: threads may share it.
class HornPattern {
public:
  using Angles = std::array<float, kBatchAngles>;

  HornPattern(float FREQ, float ARAD, float SRAD);
  void point(float THETA, float &LEVEL, float &PHASE) const;
  // Four points at once (APINT4): the same bits as four calls of point, at about half the cost.
  void points(const Angles &THETA, Angles &LEVEL, Angles &PHASE) const;
  // PHASE alone of four points, for callers that have no use for the level (its logarithm is
  // the dearest part of a point after the integral).
  Angles phases(const Angles &THETA) const;

private:
  void integrals(const Angles &THETA, Angles &RE, Angles &IM) const;

  float lambda_;
  double u_scale_; // 2 pi ARAD, the transverse argument's factor before the division by lambda
  PhaseFactors phase_;
};

// Integrand of the aperture integral. Block: {rho, rim phase 2 pi s (radians), part selector
// (0 real, 1 imaginary), u = 2 pi a |sin theta| / lambda}. Fewer than four elements give NaN.
float FX2(std::span<const float> PARM);

} // namespace kelvor::horn
