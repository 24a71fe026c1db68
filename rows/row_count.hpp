// The rows of a table given by start, stop and step, and the value each row uses.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvor::rows {

// The integer part of (stop - start) / step + 1.4, the quotient not rounded to
// single precision: the last row lies less than 0.6 step short of the stop or at
// most 0.4 step beyond it. A count that is not a finite number inside the 32-bit
// range gives no rows.
std::int32_t row_count(float start, float stop, float step);

// The same count before it is truncated and bounded: (stop - start) / step + 1.4
// in double, for a front-end that tells a count too large from no rows at all.
double row_count_real(float start, float stop, float step);

// The value of row k (counted from 1): (k - 1) step + start, formed in double from
// the row number and the single-precision range and rounded once. Each row is
// computed afresh from its number, so no rounding error accumulates down a table.
float row_value(std::int64_t k, float start, float step);

// The values of the rows of a table from start to stop by step: row_count rows,
// row k holding row_value(k, start, step). No rows when the count is not positive.
std::vector<float> sweep(float start, float stop, float step);

} // namespace kelvor::rows
