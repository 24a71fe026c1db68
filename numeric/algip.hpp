// Lagrange interpolation through N points, and the three-point reading of a uniform table.
#pragma once

#include <span>

namespace kelvor::numeric {

// Value at X of the polynomial of degree <= NPTS-1 through (XTAB[i], YTAB[i]); no bracketing,
// so an X outside the abscissae extrapolates. NPTS <= 0 gives 0. Abscissae must be distinct.
float ALGIP(const float &X, const float *XTAB, const float *YTAB, const int &NPTS);

// Reads a table of M >= 3 values at the abscissae 0, step, 2*step, ... at S: the quadratic
// through the three entries from the start index I = trunc(S/step + offset) (1-based), I kept
// within 1 ... M-2, so that an S beyond either end extrapolates from the three end entries.
// An S that is not finite (or a table of fewer than three entries) gives NaN.
float grid_lookup(std::span<const float> table, const float &step, const float &offset,
                  const float &S);

} // namespace kelvor::numeric
