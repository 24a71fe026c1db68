// The reciprocal gamma function 1/Gamma(z) and Gamma(z) in single precision.
#pragma once

namespace kelvor::numeric {

// 1/Gamma(z) for |z| < 33; 0 for |z| >= 33 (also for z <= -33); NaN for a NaN argument.
float GAMI(const float &Z);

// Gamma(z) = 1 / GAMI(z); an IEEE infinity where GAMI is 0.
float GAM(const float &Z);

} // namespace kelvor::numeric
