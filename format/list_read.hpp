// List-directed input: the free-format answers typed at the console.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvor::format {

// Why a read did not complete. The layer that talks to the user turns a code into
// a message number and an exit status.
enum class ReadError : std::uint8_t {
  none,         // every item that the answer names has its value
  syntax,       // a malformed value (message 59)
  conversion,   // a well-formed value that does not fit its item (message 64)
  end_of_input, // input ended before the read was complete (message 24)
};

// Supplies input lines, without their line ends (a CR before the LF is already
// removed). Returns false at the end of input.
class LineSource {
public:
  virtual bool next_line(std::string_view &line) = 0;

protected:
  ~LineSource() = default;
};

// One item of a read: exactly one of the two pointers is set. An item that the
// answer leaves null keeps the value it had.
struct ListItem {
  float *real = nullptr;
  std::int32_t *integer = nullptr;
};

// One list-directed read: starts on a new line, takes as many lines as the items
// need, and ignores the rest of the last line taken.
ReadError read_list(LineSource &src, std::span<const ListItem> items);

} // namespace kelvor::format
