// The fast pattern path against the reference, bit for bit.
//
// Input: the first 16 bytes are four float bit patterns (host order): frequency, aperture
// radius, slant radius and angle, for CCH11F against CCH11 (level and phase compared as bit
// patterns). Any further bytes, up to 64, are float bit patterns for the lanes of
// BESJ0N (unused lanes are 0), against BESJ0 lane by lane. Every bit pattern is an input:
// NaN, infinities, subnormals and both zeros included.
//
// Any NaN equals any NaN here: which NaN a commutative operation passes on when both operands
// are NaN depends on the order in which the compiler places them, so the sign and payload of a
// NaN result are not part of the value (and the dialogue prints every NaN alike).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "horn/pattern.hpp"
#include "numeric/besj0.hpp"
#include "numeric/besj0_lanes.hpp"

namespace {

std::uint32_t bits(float v) {
  std::uint32_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

bool same(float a, float b) {
  return bits(a) == bits(b) || (std::isnan(a) && std::isnan(b));
}

void check_pattern(const std::array<float, 4> &a) {
  float level = 0, phase = 0, fast_level = 0, fast_phase = 0;
  kelvor::horn::CCH11(a[0], a[1], a[2], a[3], level, phase);
  kelvor::horn::CCH11F(a[0], a[1], a[2], a[3], fast_level, fast_phase);
  if (!same(level, fast_level) || !same(phase, fast_phase)) {
    std::fprintf(stderr, "CCH11(%08x %08x %08x %08x): level %08x phase %08x, fast %08x %08x\n",
                 bits(a[0]), bits(a[1]), bits(a[2]), bits(a[3]), bits(level), bits(phase),
                 bits(fast_level), bits(fast_phase));
    std::abort();
  }
}

void check_lanes(const std::array<float, kelvor::numeric::J0LANES> &x) {
  std::array<float, kelvor::numeric::J0LANES> j{};
  kelvor::numeric::BESJ0N(x, j);
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!same(j[i], kelvor::numeric::BESJ0(x[i]))) {
      std::fprintf(stderr, "BESJ0N lane %zu of %08x: %08x, BESJ0 %08x\n", i, bits(x[i]), bits(j[i]),
                   bits(kelvor::numeric::BESJ0(x[i])));
      std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::array<float, 4> args{};
  if (size < sizeof args)
    return 0;
  std::memcpy(args.data(), data, sizeof args);
  check_pattern(args);
  std::array<float, kelvor::numeric::J0LANES> lanes{};
  std::memcpy(lanes.data(), data + sizeof args, std::min(size - sizeof args, sizeof lanes));
  check_lanes(lanes);
  return 0;
}
