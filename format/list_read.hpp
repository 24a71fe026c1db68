// List-directed input: the free-format answers typed at the console.
#pragma once

#include <cstdint>
#include <span>

namespace kelvor::format {

// Why a read did not complete. The layer that talks to the user turns a code into
// a message number and an exit status.
enum class ReadError : std::uint8_t {
  none,         // every item that the answer names has its value
  syntax,       // a malformed value (message 59)
  conversion,   // a well-formed value that does not fit its item (message 64)
  end_of_input, // input ended before the read was complete (message 24)
};

// Supplies the console input one character at a time: kLineEnd ends each line
// (a CR before it already removed), kEndOfInput the input. Taking characters one
// by one keeps the memory of a read bounded however long a line is.
class CharSource {
public:
  static constexpr int kLineEnd = '\n';
  static constexpr int kEndOfInput = -1;
  virtual int next_char() = 0;

protected:
  ~CharSource() = default;
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

// Reads one new line into `field`: its first field.size() characters, a shorter
// line completed with blanks; the rest of the line is passed over unstored.
// Returns false if the input ended before the line began.
bool read_field_line(CharSource &src, std::span<char> field);

// Passes over the rest of the line whose character `c` was the last one taken
// (nothing if `c` already ended it). Returns whether a character other than a
// blank or tab was passed over.
bool skip_line(CharSource &src, int c);

} // namespace kelvor::format
