#include "format/list_assign.hpp"

#include <cstdint>

namespace kelvor::format {

ReadError assign(const ListValue &k, const ListItem &item) {
  if (item.real) {
    if (k.logical) {
      *item.real = k.truth ? -1.0f : 0.0f;
      return ReadError::none;
    }
    return to_nearest(k.number, *item.real) ? ReadError::none : ReadError::conversion;
  }
  if (!item.integer)
    return ReadError::none;
  if (k.logical) {
    *item.integer = k.truth ? -1 : 0;
    return ReadError::none;
  }
  const Decimal &n = k.number;
  if (n.exact_integer) {
    const long long v = n.negative ? -n.magnitude : n.magnitude;
    if (v < INT32_MIN || v > INT32_MAX)
      return ReadError::conversion;
    *item.integer = static_cast<std::int32_t>(v);
    return ReadError::none;
  }
  double d = 0.0;
  if (!to_nearest(n, d))
    return ReadError::conversion;
  // Truncation keeps everything in (-2^31 - 1, 2^31); test in double before the
  // cast, which would be undefined outside the target range.
  if (!(d > -2147483649.0 && d < 2147483648.0))
    return ReadError::conversion;
  *item.integer = static_cast<std::int32_t>(d);
  return ReadError::none;
}

} // namespace kelvor::format
