// Rows of a table given by start, stop and step.
#pragma once

#include <cstdint>

namespace kelvor::dialogue {

// The integer part of (stop - start) / step + 1.4, the quotient not rounded to
// single precision: the last row lies less than 0.6 step short of the stop or at
// most 0.4 step beyond it. A count that is not a finite number inside the 32-bit
// range gives no rows.
std::int32_t row_count(float start, float stop, float step);

} // namespace kelvor::dialogue
