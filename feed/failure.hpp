// Why a model-true result has no answer. Every result of the feed library carries one; where it is
// not Failure::none the result's numbers are NaN, never a value that could pass for an answer.
#pragma once

namespace kelvor::feed {

enum class Failure {
  none,                         // the result holds an answer
  invalid_input,                // a length, frequency, angle or level is not finite and positive
  phase_deviation_out_of_range, // the phase deviation S lies outside the measured range 0 to 2
  level_not_reached,            // the pattern never falls to the level between 0 and 180 degrees
  no_main_lobe_solution,        // no aperture makes the main lobe reach the level at that angle
  null_on_axis,                 // the pattern vanishes on the axis: no level relative to it
};

// A short English description of the failure, for messages and the Python face.
const char *describe(Failure failure);

} // namespace kelvor::feed
