// Why an as-built result has no answer. Every result of the asbuilt library carries one; where it
// is not Failure::none its numbers are NaN or empty, never a value that could pass for an answer.
#pragma once

namespace kelvor::asbuilt {

enum class Failure {
  none,               // the result holds an answer
  invalid_input,      // a frequency, length, level or count is not finite and positive
  invalid_rule,       // a design-rule parameter lies outside the range its source gives
  band_too_wide,      // f_max / f_min above the widest band the rules cover
  input_below_cutoff, // the input waveguide does not carry TE11 at the band's lowest frequency
  no_cone,            // the slant radius is not longer than the aperture radius
  aperture_too_small, // the aperture is not wider than the input waveguide
  too_few_slots,      // the flare is too short for the mode converter's slots
  too_much_work,      // more slots, frequencies or evaluations than the stated bound
  not_machinable,     // a slot or tooth narrower, or a depth shallower, than the workshop's limit
  beam_not_designed,  // the model-true design found no horn for the beam
  analysis_failed,    // the mode-matching analysis gave no answer at some frequency
  cancelled,          // the caller's progress callback asked to stop
};

// A short English description of the failure, for messages and the Python face.
const char *describe(Failure failure);

} // namespace kelvor::asbuilt
