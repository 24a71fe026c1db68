// The report file's name: as typed, else the next command-line argument, else
// the layer's own question.
#pragma once

#include <string>
#include <string_view>

namespace kelvor::recordio {

// The name to open for the field `typed` (a console line, completed with blanks):
// its blanks at both ends and a CR that ended its line removed. A blank field
// takes the next unused command-line argument; without one the layer asks
// "UNIT 66? " until a line that is not blank comes. At most kMaxNameLength
// characters are kept.
inline constexpr std::size_t kMaxNameLength = 256;
std::string report_name(std::string_view typed);

} // namespace kelvor::recordio
