// Why a mode-matching result has no answer. Every result of the modal library carries one; where it
// is not Failure::none the result's numbers are NaN, never a value that could pass for an answer.
#pragma once

namespace kelvor::modal {

enum class Failure {
  none,               // the result holds an answer
  invalid_input,      // a length, radius, frequency, angle or option is not finite and positive,
                      // or a section is out of the sizes the analysis resolves (profile.hpp)
  input_below_cutoff, // the input waveguide does not carry TE11 at the frequency (k a <= j'11)
  too_much_work,      // the mode counts times the sections exceed the stated work limit, or a
                      // band holds more frequencies or pattern angles than its bound
  not_converged,      // a solve or a search did not reach its tolerance within its limit
};

// A short English description of the failure, for messages and the Python face.
const char *describe(Failure failure);

} // namespace kelvor::modal
