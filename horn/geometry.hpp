// The horn's size against the wavelength: the free-space wavelength and the aperture phase
// deviation, the one parameter besides a / lambda on which a corrugated horn's pattern depends.
#pragma once

namespace kelvor::horn {

// Free-space wavelength in inches at FREQ GHz.
float wavelength(float FREQ);

// Phase deviation S = a^2 / (2 lambda R), in cycles: how far the spherical wave in the horn lags
// at the rim of an aperture of radius ARAD behind its centre, for the slant radius SRAD and the
// wavelength WAVEL, all three lengths in one unit (lengths already in wavelengths take
// WAVEL = 1). An infinite slant radius gives 0, a flat phase.
float phase_deviation(float ARAD, float SRAD, float WAVEL);

// The slant radius R = lambda a^2 / (2 S) of an aperture of ARADWL wavelengths whose phase
// deviation is PHDEV cycles, in the unit of the wavelength WAVEL.
float slant_radius(float ARADWL, float PHDEV, float WAVEL);

} // namespace kelvor::horn
