#include "format/char_source.hpp"

namespace kelvor::format {

bool skip_line(CharSource &src, int c) {
  bool seen = false;
  while (!ends_line(c)) {
    c = src.next_char();
    seen = seen || !(c == ' ' || c == '\t' || ends_line(c));
  }
  return seen;
}

} // namespace kelvor::format
