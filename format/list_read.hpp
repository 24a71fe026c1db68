// List-directed input: the free-format answers typed at the console.
#pragma once

#include <cstdint>
#include <span>

#include "format/char_source.hpp"

namespace kelvor::format {

// Why a read did not complete. The layer that talks to the user turns a code into
// a message number and an exit status.
enum class ReadError : std::uint8_t {
  none,         // every item that the answer names has its value
  syntax,       // a malformed value (message 59)
  conversion,   // a well-formed value that does not fit its item (message 64)
  end_of_input, // input ended before the read was complete (message 24)
};

// One item of a read: exactly one of the two pointers is set. An item that the
// answer leaves null keeps the value it had.
struct ListItem {
  float *real = nullptr;
  std::int32_t *integer = nullptr;
};

// One list-directed read: starts on a new line, takes as many lines as the items
// need, and ignores the rest of the last line taken.
ReadError read_list(CharSource &src, std::span<const ListItem> items);

} // namespace kelvor::format
