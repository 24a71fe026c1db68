#include "format/text_field.hpp"

#include <algorithm>
#include <cstddef>

namespace kelvor::format {

bool read_text_field(CharSource &src, std::span<char> field) {
  int c = src.next_char();
  if (c == CharSource::kEndOfInput)
    return false;
  std::size_t i = 0;
  while (i < field.size() && !ends_line(c)) {
    field[i++] = static_cast<char>(c);
    if (i < field.size())
      c = src.next_char();
  }
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(i), field.end(), ' ');
  (void)skip_line(src, c);
  return true;
}

} // namespace kelvor::format
