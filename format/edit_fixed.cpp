// Fixed-point output editing, Fw.d. The digits come from std::to_chars in fixed
// notation with a precision, which rounds the exact binary value (a float widens
// to double without loss) to the nearest, ties to even, and never allocates; the
// rest is the placement of sign, leading zero and point in the field. Where the
// C++ library has no floating-point to_chars (emscripten's libc++), the C
// library's "%.*f" gives the same digits: it too rounds the exact binary value to
// nearest, ties to even, and a minus sign never reaches it.
#include "format/edit_fixed.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <system_error>
#include <version>

#if !defined(__cpp_lib_to_chars)
#include <cstdio>
#endif

namespace kelvor::format {

namespace {

void fill(char *out, int n, char c) {
  if (n > 0)
    std::memset(out, c, static_cast<std::size_t>(n));
}

// Infinity and NaN: with L the length of the word plus one for a minus sign, a
// field wider than L holds one blank, the sign, the word and trailing blanks; a
// field of exactly L holds the signed word alone; a narrower one, asterisks.
void edit_special(std::string_view word, bool negative, int w, char *out) {
  const int len = static_cast<int>(word.size()) + (negative ? 1 : 0);
  if (w < len) {
    fill(out, w, '*');
    return;
  }
  int pos = 0;
  if (w > len)
    out[pos++] = ' ';
  if (negative)
    out[pos++] = '-';
  std::memcpy(out + pos, word.data(), word.size());
  pos += static_cast<int>(word.size());
  fill(out + pos, w - pos, ' ');
}

// `magnitude` (not negative) in fixed notation with `d` decimals, in `buffer`;
// empty if it does not fit.
template <std::size_t N> std::string_view fixed_digits(double magnitude, int d, char (&buffer)[N]) {
#if defined(__cpp_lib_to_chars)
  const auto res = std::to_chars(buffer, buffer + N, magnitude, std::chars_format::fixed, d);
  if (res.ec != std::errc{})
    return {};
  return {buffer, static_cast<std::size_t>(res.ptr - buffer)};
#else
  const int n = std::snprintf(buffer, N, "%.*f", d, magnitude);
  if (n < 0 || static_cast<std::size_t>(n) >= N)
    return {};
  return {buffer, static_cast<std::size_t>(n)};
#endif
}

} // namespace

void edit_fixed(float v, int w, int d, char *out) {
  if (w <= 0)
    return;
  // Outside the supported shapes nothing sensible fits: say so with asterisks
  // rather than write past the caller's field.
  if (w > kMaxFieldWidth || d < 0 || d >= w) {
    fill(out, w, '*');
    return;
  }
  if (std::isnan(v)) {
    edit_special("NaN", false, w, out);
    return;
  }
  if (std::isinf(v)) {
    edit_special("Infinity", std::signbit(v), w, out);
    return;
  }

  // The largest float has 39 integer digits; with a sign, the point and at most
  // kMaxFieldWidth - 1 decimals the digits fit comfortably.
  char digits[8 + 39 + kMaxFieldWidth];
  const std::string_view text = fixed_digits(std::fabs(static_cast<double>(v)), d, digits);
  if (text.empty()) { // cannot happen with the buffer above; stay safe
    fill(out, w, '*');
    return;
  }
  const std::size_t point = text.find('.'); // npos when d == 0
  const std::string_view int_part = text.substr(0, point);
  const std::string_view frac_part =
      point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);

  // The sign belongs to the rounded value: -0.0004 in F6.3 is " 0.000".
  const bool rounded_zero = text.find_first_not_of("0.") == std::string_view::npos;
  const bool minus = std::signbit(v) && !rounded_zero;
  // to_chars writes a single "0" before the point of a value below 1; that zero
  // is optional and is dropped first when the field is tight.
  const bool int_is_zero = int_part == "0";

  const int fixed_len = (minus ? 1 : 0) + 1 + d; // sign, point, decimals
  int int_len = static_cast<int>(int_part.size());
  if (fixed_len + int_len > w && int_is_zero)
    int_len = 0;
  const int len = fixed_len + int_len;
  if (len > w) {
    fill(out, w, '*');
    return;
  }

  int pos = w - len;
  fill(out, pos, ' ');
  if (minus)
    out[pos++] = '-';
  out = std::copy_n(int_part.data(), int_len, out + pos);
  *out++ = '.';
  std::copy(frac_part.begin(), frac_part.end(), out); // empty when d == 0
}

std::string edit_fixed(float v, int w, int d) {
  std::string s(static_cast<std::size_t>(w > 0 ? w : 0), ' ');
  edit_fixed(v, w, d, s.data());
  return s;
}

} // namespace kelvor::format
