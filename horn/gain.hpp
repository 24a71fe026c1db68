// Gain of a conical corrugated horn.
#pragma once

namespace kelvor::horn {

// GAINDB (dB over isotropic) of a horn of aperture radius ARAD and slant radius SRAD (inches)
// at FREQ (GHz): the uniform-aperture gain (2 pi a/lambda)^2 less the loss for its aperture
// phase deviation.
void CRNGN(const float &FREQ, const float &ARAD, const float &SRAD, float &GAINDB);

} // namespace kelvor::horn
