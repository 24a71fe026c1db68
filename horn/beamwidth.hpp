// Closed-form beamwidth design and analysis of a conical corrugated horn.
#pragma once

namespace kelvor::horn {

// Design: the aperture radius ARADWL (wavelengths) that gives the full beamwidth BWDEG (degrees)
// at pattern level KLEV (1..4: 3.01, 6.02, 10, 20 dB) for the aperture phase deviation PHDEV
// (cycles). KLEV outside 1..4 gives NaN.
void CCBWD(const float &PHDEV, float &ARADWL, const float &BWDEG, const int &KLEV);

// Analysis: the full beamwidth BWDEG (degrees) at level KLEV of a horn of aperture radius
// ARADWL (wavelengths) and phase deviation PHDEV; -180.0 when the pattern never falls to the
// level. KLEV outside 1..4 gives NaN.
void CCBWT(const float &PHDEV, const float &ARADWL, float &BWDEG, const int &KLEV);

} // namespace kelvor::horn
