#include "rows/row_count.hpp"

#include "numeric/rounded.hpp"

namespace kelvor::rows {

double row_count_real(float start, float stop, float step) {
  constexpr float bias = 1.4f;
  return (static_cast<double>(stop) - start) / step + bias;
}

std::int32_t row_count(float start, float stop, float step) {
  const double n = row_count_real(start, stop, step);
  // Written so that a NaN fails the test too.
  if (!(n > -2147483648.0 && n < 2147483648.0))
    return 0;
  return static_cast<std::int32_t>(n);
}

float row_value(std::int64_t k, float start, float step) {
  return numeric::rounded(static_cast<double>(k - 1) * step + start);
}

} // namespace kelvor::rows
