// Test helpers shared by the numerical-library and horn-model tests.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kelvor::testing {

// `v` formatted with as many decimals as the reference text `printed` has, so that
// EXPECT_EQ(as_printed(v, "2.212888"), "2.212888") holds when v rounds to the printed digits.
inline std::string as_printed(float v, const std::string &printed) {
  const auto dot = printed.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(printed.size() - dot - 1);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, static_cast<double>(v));
  return buf;
}

// The same float bit for bit; any NaN matches any NaN, since which of two NaN operands an
// instruction passes on depends on the order the compiler gives the operands.
inline bool same_bits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

} // namespace kelvor::testing
