// A fixed-width text read: one console line as a field of characters.
#pragma once

#include <span>

#include "format/char_source.hpp"

namespace kelvor::format {

// Reads one new line into `field`: its first field.size() characters, a shorter
// line completed with blanks; the rest of the line is passed over unstored.
// Returns false if the input ended before the line began.
bool read_text_field(CharSource &src, std::span<char> field);

} // namespace kelvor::format
