// Fw.d editing against an independent rendering.
//
// Input: four bytes of float bit pattern (host order), then one byte for the
// width, w = 1 + byte % 30, and one for the decimals, d = byte % w. The reference
// builds the field from printf's "%.*f" of the exact value (glibc rounds the
// exact binary value to nearest, ties to even) and places sign, leading zero,
// point and asterisks by the field rules; the words Infinity and NaN follow their
// own rules. The field is written into a heap block of exactly w bytes, so that
// AddressSanitizer catches a write past its end.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "format/edit_fixed.hpp"

namespace {

std::string special_field(std::string_view word, bool negative, int w) {
  const int len = static_cast<int>(word.size()) + (negative ? 1 : 0);
  const auto width = static_cast<std::size_t>(w);
  if (w < len)
    return std::string(width, '*');
  std::string s = w > len ? " " : "";
  if (negative)
    s += '-';
  s += word;
  s.resize(width, ' ');
  return s;
}

std::string reference_field(float v, int w, int d) {
  if (std::isnan(v))
    return special_field("NaN", false, w);
  if (std::isinf(v))
    return special_field("Infinity", std::signbit(v), w);
  char digits[128];
  std::snprintf(digits, sizeof digits, "%.*f", d, std::fabs(static_cast<double>(v)));
  std::string body = digits;
  if (d == 0)
    body += '.'; // the point ends the number even without decimals
  const bool zero = body.find_first_not_of("0.") == std::string::npos;
  const std::string sign = std::signbit(v) && !zero ? "-" : "";
  const auto width = static_cast<std::size_t>(w);
  std::string text = sign + body;
  if (text.size() > width && body.starts_with("0."))
    text = sign + body.substr(1); // the leading zero goes first
  if (text.size() > width)
    return std::string(width, '*');
  return std::string(width - text.size(), ' ') + text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 6)
    return 0;
  std::uint32_t bits = 0;
  std::memcpy(&bits, data, sizeof bits);
  float v = 0.0f;
  std::memcpy(&v, data, sizeof v);
  const int w = 1 + data[4] % 30;
  const int d = data[5] % w;

  const auto field = std::make_unique<char[]>(static_cast<std::size_t>(w));
  kelvor::format::edit_fixed(v, w, d, field.get());
  const std::string got(field.get(), static_cast<std::size_t>(w));
  const std::string want = reference_field(v, w, d);
  if (got != want) {
    std::fprintf(stderr, "F%d.%d of %.9g (bits %08x): got \"%s\", want \"%s\"\n", w, d,
                 static_cast<double>(v), static_cast<unsigned>(bits), got.c_str(), want.c_str());
    std::abort();
  }
  if (kelvor::format::edit_fixed(v, w, d) != got)
    std::abort(); // the string form must be the same field
  return 0;
}
