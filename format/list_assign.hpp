// The item-assignment rules of a list-directed read: how a value read from the
// console is given to a real or an integer item.
#pragma once

#include "format/decimal_to_float.hpp"
#include "format/list_read.hpp"

namespace kelvor::format {

// One value of an answer: a logical (T or F) or a decimal number.
struct ListValue {
  bool logical = false;
  bool truth = false;
  Decimal number;
};

// Gives `value` to `item`. A real item takes the decimal value rounded once to
// the nearest float; a magnitude too large for a float is a conversion error, one
// too small becomes a denormal or zero. An integer item takes a number without
// point or exponent exactly; any other number is converted to the nearest double
// and truncated toward zero, and a result outside the 32-bit range is a
// conversion error. A logical T gives -1.0 or -1, F gives 0.0 or 0. An item with
// no target takes its value and drops it.
ReadError assign(const ListValue &value, const ListItem &item);

} // namespace kelvor::format
