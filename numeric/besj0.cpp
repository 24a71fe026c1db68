// J0(x) in single precision: the ascending series sum (-1)^k (x^2/4)^k / (k!)^2 for x <= 10,
// summed in blocks of five terms; above 10 the Hankel asymptotic expansion
// (Abramowitz & Stegun 9.2.5 with 9.2.9/9.2.10 at order zero), P to (8x)^-10 and Q to (8x)^-9.
#include "numeric/besj0.hpp"

#include <cmath>

#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::numeric {

float BESJ0(const float &X) {
  if (X <= kJ0SeriesLimit) {
    // x <= 10: ascending series. Each term follows from the previous one by the factor
    // -(x/2)^2 / k^2. The sum is tested for stagnation only between blocks of five terms,
    // so J0(0) stops after one block of zero terms and at most 100 terms are ever added.
    const float h = rounded(double{X} / 2);
    const float s = rounded(double{h} * h);
    float t = 1.0f;
    float sum = 1.0f;
    float prev = 1.0f;
    float k = 1.0f;
    for (int block = 0; block < kJ0Blocks; ++block) {
      float b = 0.0f;
      for (int i = 0; i < kJ0BlockTerms; ++i) {
        t = rounded(-(double{t} * s) / (double{k} * k));
        k = rounded(double{k} + 1);
        b = rounded(double{b} + t);
      }
      sum = rounded(double{sum} + b);
      if (sum == prev)
        break;
      prev = sum;
    }
    return sum;
  }

  // x > 10 (or NaN): asymptotic form J0 = sqrt(2/(pi x)) (P cos chi + R sin chi), with
  // chi = x - pi/4 and R = -Q. The numerators are squares of products of consecutive odd
  // numbers, the denominators products of consecutive integers, nested Horner-fashion.
  const float w = rounded(double{X} * 64 * X); // (8x)^2
  const double dw = w;
  const float p = rounded(
      1 -
      9 / (2 * dw) *
          (1 - 1225 / (12 * dw) *
                   (1 - 9801 / (30 * dw) * (1 - 38025 / (56 * dw) * (1 - 104329 / (90 * dw))))));
  const float r =
      rounded((1 - 225 / (6 * dw) *
                       (1 - 3969 / (20 * dw) * (1 - 20449 / (42 * dw) * (1 - 65025 / (72 * dw))))) /
              (8 * double{X}));
  const float chi = rounded(double{X} - kQuarterPiBessel);
  // R sin chi is stored before P cos chi is added to it.
  const float r_sin = rounded(double{r} * std::sin(double{chi}));
  return rounded(std::sqrt(kTwoOverPiBessel / double{X}) *
                 (double{p} * std::cos(double{chi}) + r_sin));
}

} // namespace kelvor::numeric
