// Decimal to binary: the kept digits are rewritten as "[-]DDD...e[-]XXX" and
// converted by the library's correctly rounded parser, std::from_chars. Where the
// C++ library has no floating-point from_chars (emscripten's libc++) the C
// library's strtof/strtod parse the same text to the same nearest value: the
// text has no decimal point, so the locale plays no part.
#include "format/decimal_to_float.hpp"

#include <charconv>
#include <cmath>
#include <system_error>
#include <version>

#if !defined(__cpp_lib_to_chars)
#include <cstdlib>
#endif

namespace kelvor::format {

namespace {

// The number rewritten for the parser with at most kMaxDigits + 1 significant
// digits; `size` is 0 for a zero. The magnitude lies in [10^(decade-1),
// 10^decade), which tells overflow from underflow.
struct Normalized {
  char text[1 + kMaxDigits + 1 + 2 + 20 + 1]; // sign, digits, sticky, 'e', exponent, NUL
  std::size_t size = 0;
  long long decade = 0;
};

void normalize(const Decimal &n, Normalized &out) {
  out.size = 0;
  if (n.count == 0) // zero
    return;
  long long scale = n.beyond + n.exponent - n.fraction;
  char *p = out.text;
  if (n.negative)
    *p++ = '-';
  p = std::copy_n(n.kept.data(), n.count, p);
  std::size_t digits = n.count;
  if (n.sticky) {
    // The cut digits hold a nonzero one, so the tail is above zero and below one
    // unit of the last kept digit: a '1' after it stands for it exactly enough.
    *p++ = '1';
    ++digits;
    --scale;
  }
  // Far beyond either end of the double range the exact exponent no longer
  // matters; clamping keeps it printable.
  scale = std::clamp(scale, -4 * kExponentCap, 4 * kExponentCap);
  out.decade = scale + static_cast<long long>(digits);
  *p++ = 'e';
  const auto r = std::to_chars(p, out.text + sizeof out.text - 1, scale);
  *r.ptr = '\0';
  out.size = static_cast<std::size_t>(r.ptr - out.text);
}

#if defined(__cpp_lib_to_chars)
template <class T> bool parse(const Normalized &norm, bool negative, T &value) {
  T v{};
  const auto r = std::from_chars(norm.text, norm.text + norm.size, v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large (at least 1 in magnitude) is an error; too small rounds to zero.
    if (norm.decade > 0)
      return false;
    v = negative ? -T(0) : T(0);
  } else if (r.ec != std::errc{} || std::isinf(v)) {
    return false;
  }
  value = v;
  return true;
}
#else
float c_parse(const char *text, float) {
  return std::strtof(text, nullptr);
}
double c_parse(const char *text, double) {
  return std::strtod(text, nullptr);
}

// strtof/strtod return the nearest value (a denormal or a signed zero below the
// range) and an infinity above it; the ERANGE they set adds nothing to that.
template <class T> bool parse(const Normalized &norm, bool, T &value) {
  const T v = c_parse(norm.text, T{});
  if (std::isinf(v))
    return false;
  value = v;
  return true;
}
#endif

template <class T> bool convert(const Decimal &n, T &value) {
  Normalized norm;
  normalize(n, norm);
  if (norm.size == 0) {
    value = n.negative ? -T(0) : T(0);
    return true;
  }
  return parse(norm, n.negative, value);
}

} // namespace

bool to_nearest(const Decimal &n, float &value) {
  return convert(n, value);
}
bool to_nearest(const Decimal &n, double &value) {
  return convert(n, value);
}

} // namespace kelvor::format
