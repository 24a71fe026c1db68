#include "format/edit_fixed.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

using kelvor::format::edit_fixed;

struct Case {
  const char *label;
  float v;
  int w, d;
  const char *expected;
};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(EditFixed, Table) {
  const Case cases[] = {
      // Rounding from the exact binary value, ties to even.
      {"tie down to even", 12.25f, 6, 1, "  12.2"},
      {"tie up to even", 12.75f, 6, 1, "  12.8"},
      {"tie at two decimals", 0.125f, 5, 2, " 0.12"},
      {"tie with no decimals", 12.5f, 5, 0, "  12."},
      {"tie 2.5 to even", 2.5f, 3, 0, " 2."},
      {"tie 3.5 to even", 3.5f, 3, 0, " 4."},
      {"0.1f is above 0.1", 0.1f, 12, 10, "0.1000000015"},
      {"0.15f is above the tie", 0.15f, 4, 1, " 0.2"},
      {"0.35f is below the tie", 0.35f, 4, 1, " 0.3"},
      // Sign only when the rounded value is not zero.
      {"negative rounds to zero", -0.0004f, 6, 3, " 0.000"},
      {"negative zero", -0.0f, 6, 3, " 0.000"},
      {"negative just survives", -0.0005001f, 6, 3, "-0.001"},
      {"level missed", -180.0f, 6, 1, "-180.0"},
      {"too negative", -1000.0f, 6, 1, "******"},
      {"too large", 1000.0f, 6, 2, "******"},
      {"exactly fills", 999.99f, 6, 2, "999.99"},
      {"rounding carries out of the field", 999.996f, 6, 2, "******"},
      // The point even without decimals.
      {"three no decimals", 3.0f, 5, 0, "   3."},
      {"eight no decimals", 8.0f, 5, 0, "   8."},
      {"zero no decimals", 0.4f, 3, 0, " 0."},
      {"zero point alone", 0.4f, 1, 0, "."},
      // The leading zero only where it fits.
      {"F6.3 half", 0.5f, 6, 3, " 0.500"},
      {"F6.3 minus half", -0.5f, 6, 3, "-0.500"},
      {"F5.3 half", 0.5f, 5, 3, "0.500"},
      {"F5.3 minus half", -0.5f, 5, 3, "-.500"},
      {"F4.3 half", 0.5f, 4, 3, ".500"},
      {"F4.3 minus half", -0.5f, 4, 3, "****"},
      {"rounds up to one", 0.9996f, 5, 3, "1.000"},
      {"rounds up to one, tight", 0.9996f, 4, 3, "****"},
      // Values of the report rows.
      {"design row S", 0.1f, 6, 3, " 0.100"},
      {"aperture radius", 2.6118f, 8, 4, "  2.6118"},
      {"slant radius", 28.8985f, 8, 4, " 28.8985"},
      {"largest magnitudes, exact digits", 3.0e38f, 45, 2,
       "   300000000549775575777803994281145270272.00"},
      // Infinity and NaN: L = word length plus one for a minus sign.
      {"infinity wider", kInf, 9, 4, " Infinity"},
      {"infinity much wider", kInf, 12, 4, " Infinity   "},
      {"infinity exact", kInf, 8, 4, "Infinity"},
      {"infinity narrow", kInf, 7, 4, "*******"},
      {"minus infinity wider", -kInf, 10, 4, " -Infinity"},
      {"minus infinity exact", -kInf, 9, 4, "-Infinity"},
      {"minus infinity narrow", -kInf, 8, 4, "********"},
      {"nan wider", kNaN, 6, 1, " NaN  "},
      {"nan exact", kNaN, 3, 1, "NaN"},
      {"nan narrow", kNaN, 2, 1, "**"},
      {"negative nan has no sign", -kNaN, 4, 1, " NaN"},
      // Shapes outside the supported range.
      {"decimals not below width", 0.5f, 3, 3, "***"},
      {"decimals not below width, NaN", kNaN, 3, 3, "***"},
      {"negative decimals", 1.0f, 3, -1, "***"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(edit_fixed(c.v, c.w, c.d), c.expected) << c.label;
}

// An independent reference: printf's %.*f of the value widened to double (exact),
// then the sign, zero and fit rules applied to that text.
std::string reference(float v, int w, int d) {
  std::string s;
  if (std::isnan(v) || std::isinf(v)) {
    std::string word = std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity");
    if (static_cast<int>(word.size()) > w)
      return std::string(static_cast<std::size_t>(w), '*');
    if (static_cast<int>(word.size()) < w)
      word.insert(0, " ");
    return word + std::string(static_cast<std::size_t>(w) - word.size(), ' ');
  }
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.*f", d, static_cast<double>(v));
  s = buf;
  if (s.find_first_of("123456789") == std::string::npos && s[0] == '-')
    s.erase(0, 1);
  if (d == 0)
    s += '.';
  const std::size_t zero = s[0] == '-' ? 1 : 0;
  if (static_cast<int>(s.size()) > w && s.compare(zero, 2, "0.") == 0)
    s.erase(zero, 1);
  if (static_cast<int>(s.size()) > w)
    return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

TEST(EditFixed, MatchesPrintfReference) {
  std::mt19937_64 rng(20240611);
  char field[kelvor::format::kMaxFieldWidth];
  for (int i = 0; i < 1'000'000; ++i) {
    const std::uint64_t r = rng();
    float v;
    switch (i % 3) {
      case 0: // any bit pattern: huge, tiny, denormal, infinite, NaN
        v = std::bit_cast<float>(static_cast<std::uint32_t>(r));
        break;
      case 1: // the magnitudes that fit the fields, 2^-12 to 2^20
        v = std::ldexp(1.0f + static_cast<float>(r & 0x7fffff) * 0x1p-23f,
                       static_cast<int>((r >> 23) % 33) - 12);
        if (r >> 63)
          v = -v;
        break;
      default: // dyadic values with few bits: many exact ties
        v = std::ldexp(static_cast<float>(r & 0xfffff), -static_cast<int>((r >> 20) % 11));
        if (r >> 63)
          v = -v;
        break;
    }
    const int w = 1 + static_cast<int>((r >> 32) % 30);
    const int d = static_cast<int>((r >> 40) % static_cast<unsigned>(w));
    edit_fixed(v, w, d, field);
    const std::string got(field, static_cast<std::size_t>(w));
    const std::string want = reference(v, w, d);
    ASSERT_EQ(got, want) << "v=" << std::hexfloat << v << " F" << w << '.' << d;
  }
}

} // namespace
