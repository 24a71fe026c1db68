// 1/Gamma(z) in single precision: the power series of 1/Gamma about 0 (Abramowitz & Stegun
// 6.1.34, twenty coefficients to seven digits) at the fractional part f of z, carried to z by
// the recurrence 1/Gamma(y+1) = (1/Gamma(y))/y upwards or 1/Gamma(y-1) = (y-1)/Gamma(y) downwards.
#include "numeric/gami.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "numeric/rounded.hpp"

namespace kelvor::numeric {

namespace {

// c1 ... c20 of 1/Gamma(z) = sum c_k z^k, Abramowitz & Stegun 6.1.34.
static constexpr std::array<float, 20> GAMI_COEF = {
    1.0f,
    0.5772157f,
    -0.6558780f,
    -0.04200264f,
    0.1665386f,
    -0.04219773f,
    -0.009621970f,
    0.007218943f,
    -0.001165167f,
    -0.0002152417f,
    0.0001280503f,
    -0.00002013485f,
    -0.000001250493f,
    0.000001133027f,
    -0.0000002056338f,
    0.000000006116095f,
    0.000000005002007f,
    -0.000000001181275f,
    0.0000000001043427f,
    0.0000000000077823f,
};

} // namespace

float GAMI(const float &Z) {
  if (std::isnan(Z))
    return Z;
  if (std::fabs(Z) >= 33.0f)
    return 0.0f;
  // |z| < 33 from here on, so the truncation to an integer is exact and in range.
  const int n = static_cast<int>(Z);
  const float f = rounded(double{Z} - n);
  const int m = n < 0 ? -n : n;

  // The series at f, innermost coefficient first, as one nested expression.
  double poly = GAMI_COEF[19];
  for (int k = 18; k >= 0; --k)
    poly = GAMI_COEF[static_cast<std::size_t>(k)] + double{f} * poly;
  float r = rounded(double{f} * poly);

  if (f == 0.0f && n > 0) {
    // A positive integer: 1/(n-1)! exactly as the quotients round, not from the series.
    r = 1.0f;
    for (int i = 1; i <= n - 1; ++i)
      r = rounded(double{r} / i);
    return r;
  }
  if (m == 0)
    return r;
  float y = f;
  if (n > 0) {
    // Climb from f to z = f + m.
    for (int i = 0; i < m; ++i) {
      r = rounded(double{r} / y);
      y = rounded(double{y} + 1);
    }
  } else {
    // Descend from f to z = f - m; a zero f (negative integer) keeps r = 0.
    for (int i = 0; i < m; ++i) {
      y = rounded(double{y} - 1);
      r = rounded(double{r} * y);
    }
  }
  return r;
}

float GAM(const float &Z) {
  return rounded(1.0 / double{GAMI(Z)});
}

} // namespace kelvor::numeric
