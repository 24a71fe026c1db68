// J_nu(x) in single precision for x >= 0, nu >= 0: the ascending series
// sum (-1)^k (x/2)^(2k+nu) / (k! Gamma(k+nu+1)) in blocks of five terms for x <= 6; above 6 the
// Hankel asymptotic expansion (Abramowitz & Stegun 9.2.5, 9.2.9, 9.2.10), P and Q to five terms.
#include "numeric/besj.hpp"

#include <cmath>

#include "numeric/constants.hpp"
#include "numeric/gami.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::numeric {

float BESJ(const float &X, const float &ORDER) {
  const double nu = ORDER;
  if (X <= 6.0f) {
    // x <= 6: ascending series; the leading term (x/2)^nu / Gamma(nu+1) is 1 at nu = 0.
    const float h = rounded(double{X} / 2);
    const float s = rounded(double{h} * h);
    float t = 1.0f;
    if (ORDER != 0.0f) {
      const float order_plus_one = rounded(nu + 1);
      t = rounded(std::pow(double{h}, nu) * GAMI(order_plus_one));
    }
    float sum = t;
    float prev = t;
    float k = 1.0f;
    for (int block = 0; block < 20; ++block) {
      float b = 0.0f;
      for (int i = 0; i < 5; ++i) {
        t = rounded(-(double{t} * s) / (double{k} * (double{k} + nu)));
        k = rounded(double{k} + 1);
        b = rounded(double{b} + t);
      }
      sum = rounded(double{sum} + b);
      if (double{prev} - sum == 0)
        break;
      prev = sum;
    }
    return sum;
  }

  // x > 6 (or NaN): asymptotic form with mu = 4 nu^2 and D = (8x)^2.
  const float mu_f = rounded(4 * nu * nu);
  const double mu = mu_f;
  const double d = (8 * double{X}) * (8 * double{X});
  const float p =
      rounded(1 - (mu - 1) * (mu - 9) / (2 * d) *
                      (1 - (mu - 25) * (mu - 49) / (12 * d) *
                               (1 - (mu - 81) * (mu - 121) / (30 * d) *
                                        (1 - (mu - 169) * (mu - 225) / (56 * d) *
                                                 (1 - (mu - 289) * (mu - 361) / (90 * d))))));
  const float q = rounded((mu - 1) / (8 * double{X}) *
                          (1 - (mu - 9) * (mu - 25) / (6 * d) *
                                   (1 - (mu - 49) * (mu - 81) / (20 * d) *
                                            (1 - (mu - 121) * (mu - 169) / (42 * d) *
                                                     (1 - (mu - 225) * (mu - 289) / (72 * d))))));
  const float chi = rounded(double{X} - (nu / 2 + 0.25) * double{kPiBessel});
  // Q sin chi is stored before it is taken from P cos chi.
  const float q_sin = rounded(double{q} * std::sin(double{chi}));
  return rounded(std::sqrt(2 / (double{kPiBessel} * X)) *
                 (double{p} * std::cos(double{chi}) - q_sin));
}

} // namespace kelvor::numeric
