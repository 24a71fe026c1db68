// Phase centre of a conical corrugated horn.
#pragma once

namespace kelvor::horn {

// PCTR: distance of the phase centre behind the aperture plane, in wavelengths, for a horn of
// aperture radius ARAD and slant radius SRAD (inches) at FREQ (GHz), fitted over the full
// beamwidth BWDEG (degrees; its sign does not matter). BWDEG = 0 gives NaN.
void CHPCT(const float &FREQ, const float &ARAD, const float &SRAD, const float &BWDEG,
           float &PCTR);

// The same through the reference pattern routine CCH11 instead of CCH11F: the same bits,
// slower; for the tests and the benchmarks that compare the two.
void CHPCTR(const float &FREQ, const float &ARAD, const float &SRAD, const float &BWDEG,
            float &PCTR);

} // namespace kelvor::horn
