// Why a model-true result has no answer. Every result of the feed library carries one; where it is
// not Failure::none the result's numbers are NaN, never a value that could pass for an answer.
#pragma once

#include <array>
#include <cstddef>

namespace kelvor::feed {

enum class Failure {
  none,                         // the result holds an answer
  invalid_input,                // a length, frequency, angle or level is not finite and positive
  phase_deviation_out_of_range, // the phase deviation S lies outside the measured range 0 to 2
  level_not_reached,            // the pattern never falls to the level between 0 and 180 degrees
  no_main_lobe_solution,        // no aperture makes the main lobe reach the level at that angle
  null_on_axis,                 // the pattern vanishes on the axis: no level relative to it
  not_converged,                // a solver used its whole iteration limit (SolverLimits)
  too_much_work,                // the work would exceed the routine's stated limit: refused
};
inline constexpr Failure kLastFailure = Failure::too_much_work; // keep it the last enumerator

// Short English descriptions, indexed by the enumerator's value: messages and the Python face.
inline constexpr std::array<const char *, 8> kFailureNames{
    "none",
    "invalid input",
    "phase deviation outside 0 to 2 cycles",
    "level never reached",
    "no main-lobe solution",
    "pattern null on the axis",
    "solver did not converge",
    "too much work: outside the stated limit",
};
static_assert(kFailureNames.size() == static_cast<std::size_t>(kLastFailure) + 1,
              "every Failure has its name");

// The description of the failure ("unknown" for a value outside the enum).
const char *describe(Failure failure);

// The entry of a name table indexed by an enumerator, "unknown" outside it.
template <class Enum, std::size_t N>
constexpr const char *name_of(const std::array<const char *, N> &names, Enum value) {
  const auto i = static_cast<std::size_t>(value);
  return i < N ? names[i] : "unknown";
}

} // namespace kelvor::feed
