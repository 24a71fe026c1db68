// Gauss-Legendre quadrature of a single-precision integrand over a finite interval.
#pragma once

#include <span>

#include "numeric/glint_tables.hpp"

namespace kelvor::numeric {

// An integrand reads its abscissa from the first element of the caller's parameter block and
// anything else it needs from the other elements.
using Integrand = float (*)(std::span<const float> PARM);

// RESULT = integral of FUNC from XLO to XHI with the NPTS-point Gauss-Legendre rule, NPTS one of
// NORDER. GLINT writes each abscissa into PARM[0] before calling FUNC and touches no other
// element. For an unsupported NPTS (or an empty block) RESULT is 0 and FUNC is not called.
void GLINT(const float &XLO, const float &XHI, std::span<float> PARM, Integrand FUNC,
           const int &NPTS, float &RESULT);

} // namespace kelvor::numeric
