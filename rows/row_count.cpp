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

std::vector<float> sweep(float start, float stop, float step) {
  const std::int32_t n = row_count(start, stop, step);
  std::vector<float> values(n > 0 ? static_cast<std::size_t>(n) : 0);
  for (std::size_t i = 0; i < values.size(); ++i)
    values[i] = row_value(static_cast<std::int64_t>(i) + 1, start, step);
  return values;
}

} // namespace kelvor::rows
