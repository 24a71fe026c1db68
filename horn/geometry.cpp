// Each result is evaluated in double from its float operands and rounded once: the callers
// choose which of the lengths are already rounded (inches, or wavelengths), and that choice
// moves last bits of the tables.
#include "horn/geometry.hpp"

#include "numeric/constants.hpp"
#include "numeric/rounded.hpp"

namespace kelvor::horn {

using numeric::CLIGHT;
using numeric::rounded;

float wavelength(float FREQ) {
  return rounded(double{CLIGHT} / FREQ);
}

float phase_deviation(float ARAD, float SRAD, float WAVEL) {
  return rounded(double{ARAD} * ARAD / (2 * double{WAVEL} * SRAD));
}

float slant_radius(float ARADWL, float PHDEV, float WAVEL) {
  return rounded(double{WAVEL} * ARADWL * ARADWL / (double{PHDEV} * 2));
}

} // namespace kelvor::horn
