// A character source over whole lines, for the reader's tests and fuzzer: a
// subclass supplies lines (without their line ends), the reader takes them one
// character at a time, kLineEnd after each line.
#pragma once

#include <cstddef>
#include <string_view>

#include "format/char_source.hpp"

namespace kelvor::test {

class LineSource : public format::CharSource {
public:
  // The next line; false at the end of the input.
  virtual bool next_line(std::string_view &line) = 0;

  int next_char() final {
    if (!in_line_) {
      if (!next_line(line_))
        return kEndOfInput;
      in_line_ = true;
      position_ = 0;
    }
    if (position_ < line_.size())
      return static_cast<unsigned char>(line_[position_++]);
    in_line_ = false;
    return kLineEnd;
  }

protected:
  ~LineSource() = default;

private:
  std::string_view line_;
  std::size_t position_ = 0;
  bool in_line_ = false;
};

} // namespace kelvor::test
