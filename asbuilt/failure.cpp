#include "asbuilt/failure.hpp"

#include <array>
#include <cstddef>

namespace kelvor::asbuilt {

namespace {

// In the order of the enumerators.
constexpr std::array<const char *, 13> kDescriptions = {
    "none",
    "invalid input",
    "design rule outside its published range",
    "band wider than the design rules cover",
    "input waveguide below cut-off in the band",
    "slant radius not longer than the aperture radius",
    "aperture not wider than the input waveguide",
    "flare too short for the mode converter",
    "too much work",
    "slot or tooth below the machinable limits",
    "no horn for the requested beam",
    "mode-matching analysis failed",
    "cancelled",
};
static_assert(static_cast<std::size_t>(Failure::cancelled) + 1 == kDescriptions.size());

} // namespace

const char *describe(Failure failure) {
  const auto i = static_cast<std::size_t>(failure);
  return i < kDescriptions.size() ? kDescriptions[i] : "unknown";
}

} // namespace kelvor::asbuilt
