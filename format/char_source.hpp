// Console input taken one character at a time, and the pass over a line's rest.
#pragma once

namespace kelvor::format {

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

inline bool ends_line(int c) {
  return c == CharSource::kLineEnd || c == CharSource::kEndOfInput;
}

// Passes over the rest of the line whose character `c` was the last one taken
// (nothing if `c` already ended it). Returns whether a character other than a
// blank or tab was passed over.
bool skip_line(CharSource &src, int c);

} // namespace kelvor::format
