// Far-field pattern of the corrugated-horn aperture (balanced hybrid mode).
#pragma once

#include <span>

namespace kelvor::horn {

// LEVEL (dB, absolute, not normalised) and PHASE (degrees, -180 ... 180) of the pattern at
// THETA radians off the axis of a horn of aperture radius ARAD and slant radius SRAD (inches)
// at FREQ (GHz). A magnitude below 1e-6 gives LEVEL = -120 and PHASE = 0.
void CCH11(const float &FREQ, const float &ARAD, const float &SRAD, const float &THETA,
           float &LEVEL, float &PHASE);

// The same LEVEL and PHASE as CCH11, bit for bit, at a fraction of the cost: the integrand's
// Bessel values are each computed once (APINT). CCH11 stays the definition it is tested against.
// (Where the result is NaN, its sign and payload may differ: they follow the compiler's choice of
// operand order, and the record layer writes every NaN alike.)
void CCH11F(const float &FREQ, const float &ARAD, const float &SRAD, const float &THETA,
            float &LEVEL, float &PHASE);

// Integrand of the aperture integral. Block: {rho, rim phase 2 pi s (radians), part selector
// (0 real, 1 imaginary), u = 2 pi a |sin theta| / lambda}. Fewer than four elements give NaN.
float FX2(std::span<const float> PARM);

} // namespace kelvor::horn
