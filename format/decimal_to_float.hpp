// Decimal text to binary floating point: a decimal number kept in constant space
// as its characters stream in, and its value rounded once to the nearest float or
// double.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace kelvor::format {

// Bounds that keep the bookkeeping of absurdly long numbers finite. An exponent
// beyond kExponentCap is already far outside double range whatever the digits;
// no input can be long enough to reach kCountCap digits.
inline constexpr long long kExponentCap = 100'000'000;
inline constexpr long long kIntegerCap = 10'000'000'000LL;
inline constexpr long long kCountCap = 1'000'000'000'000'000LL;

// Enough significant digits that cutting the rest and putting one nonzero digit
// in their place cannot move the value across a double (or float) or across the
// midpoint of two neighbours: those need at most 767 significant digits.
inline constexpr std::size_t kMaxDigits = 800;

// A decimal number as its characters stream in, in constant space. The value is
//   kept[0..count) * 10^(beyond + exponent - fraction),
// plus a trace below the last kept digit when `sticky`: the digits past the
// first kMaxDigits significant ones are only counted.
struct Decimal {
  bool negative = false;
  bool exact_integer = true; // neither a point nor an exponent
  std::array<char, kMaxDigits> kept{};
  std::size_t count = 0;  // significant digits kept; leading zeros dropped
  bool sticky = false;    // a nonzero digit beyond the kept ones
  long long beyond = 0;   // digits beyond the kept ones
  long long fraction = 0; // digits after the point
  long long exponent = 0;
  long long magnitude = 0; // the integer digits as a value, for exact integers

  void add_digit(char c, bool fractional) {
    if (fractional)
      fraction = std::min(fraction + 1, kCountCap);
    else
      magnitude = std::min(magnitude * 10 + (c - '0'), kIntegerCap);
    if (count == 0 && c == '0')
      return;
    if (count < kMaxDigits) {
      kept[count++] = c;
      return;
    }
    beyond = std::min(beyond + 1, kCountCap);
    sticky = sticky || c != '0';
  }
};

// The decimal's value rounded once to the nearest float (or double), ties to
// even, never through a wider type. A magnitude too small becomes a denormal or a
// signed zero; one too large for the type returns false and leaves `value` alone.
bool to_nearest(const Decimal &n, float &value);
bool to_nearest(const Decimal &n, double &value);

} // namespace kelvor::format
