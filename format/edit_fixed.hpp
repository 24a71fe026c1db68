// Fixed-point output editing, Fw.d.
#pragma once

#include <string>

namespace kelvor::format {

// Writes exactly `w` characters to `out`: `v` rounded from its exact binary value
// to `d` decimals (ties to even), right-justified, a minus sign only when the
// rounded value is not zero, the leading "0" only where it fits, `w` asterisks when
// the text does not fit, and "Infinity"/"NaN" by the rules for those words.
// Requires 1 <= w <= kMaxFieldWidth and 0 <= d < w; outside that range the field
// (if w > 0) is filled with w asterisks instead.
inline constexpr int kMaxFieldWidth = 64;
void edit_fixed(float v, int w, int d, char *out);

// Convenience for tests and callers that want a string.
std::string edit_fixed(float v, int w, int d);

} // namespace kelvor::format
