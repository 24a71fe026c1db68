// One number of an export read back: the whole token, finite, in the C locale's notation.
#pragma once

#include <cmath>
#include <string_view>

#ifdef __EMSCRIPTEN__
#include <cstdlib>
#include <string>
#else
#include <charconv>
#endif

namespace kelvor::asbuilt {

// True, with x, when the whole of s is one finite decimal number.
inline bool read_double(std::string_view s, double &x) {
#ifdef __EMSCRIPTEN__
  // The browser's C++ library has no floating-point from_chars; its strtod is in the C locale,
  // the only one there. A leading blank (strtod skips it) is refused as from_chars refuses it.
  const std::string copy(s);
  char *end = nullptr;
  if (copy.empty() || copy.front() == ' ' || copy.front() == '\t')
    return false;
  x = std::strtod(copy.c_str(), &end);
  return end == copy.c_str() + copy.size() && std::isfinite(x);
#else
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  return ec == std::errc{} && ptr == s.data() + s.size() && std::isfinite(x);
#endif
}

} // namespace kelvor::asbuilt
