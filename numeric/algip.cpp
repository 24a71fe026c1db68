// Lagrange-form polynomial interpolation (no divided differences), the products formed factor
// by factor in the order of the abscissae; and the three-point quadratic lookup on a uniformly
// spaced table that the horn model's beamwidth and gain-loss tables are read with.
#include "numeric/algip.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "numeric/rounded.hpp"

namespace kelvor::numeric {

float ALGIP(const float &X, const float *XTAB, const float *YTAB, const int &NPTS) {
  float sum = 0.0f;
  for (int i = 0; i < NPTS; ++i) {
    // Basis polynomial i at X: multiply before dividing, one factor at a time.
    float l = 1.0f;
    for (int j = 0; j < NPTS; ++j) {
      if (j == i)
        continue;
      l = rounded((double{X} - XTAB[j]) * l / (double{XTAB[i]} - XTAB[j]));
    }
    sum = rounded(double{l} * YTAB[i] + sum);
  }
  return sum;
}

float grid_lookup(std::span<const float> table, const float &step, const float &offset,
                  const float &S) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  if (table.size() < 3 ||
      table.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) || !std::isfinite(S))
    return nan;
  const int cap = static_cast<int>(table.size()) - 2;
  // Decide the range in double before truncating, so that no value that is out of range
  // (or NaN, from a zero step) is ever converted to an integer.
  const double q = double{S} / step + offset;
  int start = 1;
  if (q >= cap)
    start = cap;
  else if (q >= 1.0)
    start = static_cast<int>(q);

  // Grid abscissae (I-1)h, Ih, (I+1)h of entries I, I+1, I+2.
  std::array<float, 3> x{};
  std::array<float, 3> y{};
  for (int j = 0; j < 3; ++j) {
    x[static_cast<std::size_t>(j)] = rounded(static_cast<double>(start + j - 1) * step);
    y[static_cast<std::size_t>(j)] = table[static_cast<std::size_t>(start + j - 1)];
  }
  constexpr int three = 3;
  return ALGIP(S, x.data(), y.data(), three);
}

} // namespace kelvor::numeric
