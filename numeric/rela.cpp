// Difference of two phase angles in degrees brought into -180 ... 180, for unwrapping a run of
// samples from a two-argument arc tangent: angles of opposite sign are both taken to 0 ... 360
// first, then one correction by a full turn is made if the difference still exceeds a half-turn.
#include "numeric/rela.hpp"

#include <cmath>

#include "numeric/rounded.hpp"

namespace kelvor::numeric {

float RELA(const float &ANG1, const float &ANG2) {
  float p = ANG1;
  float q = ANG2;
  // The product of two floats is exact in double, so no underflow hides a sign change.
  if (double{p} * q < 0) {
    if (p < 0)
      p = rounded(double{p} + 360);
    if (q < 0)
      q = rounded(double{q} + 360);
  }
  float d = rounded(double{p} - q);
  if (std::fabs(d) > 180.0f)
    d = d < 0 ? rounded(double{d} + 360) : rounded(double{d} - 360);
  return d;
}

} // namespace kelvor::numeric
