#include "recordio/report_name.hpp"

#include "recordio/ending.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {
namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// A console line as a name. A CR before the line end is the line end of a
// system that ends lines with CR LF (or a stray one before it), never part of a
// file name; a blank before it goes too.
std::string_view line_name(std::string_view line) {
  line = trim(line);
  if (line.ends_with('\r'))
    line = trim(line.substr(0, line.size() - 1));
  return line;
}

std::string_view next_argument() {
  Session &s = session();
  if (s.next_argument >= s.arguments.size())
    return {};
  return trim(s.arguments[s.next_argument++]);
}

bool is_name_blank(int c) {
  return c == ' ' || c == '\t';
}

// One line of the console as a name: its first kMaxNameLength characters after
// its leading blanks, and its trailing blanks and line end removed when the line
// ends there; the rest of a longer line is passed over without being stored.
std::string read_name_line() {
  format::CharSource &input = session().input;
  int c = input.next_char();
  if (c == format::CharSource::kEndOfInput)
    end_at_input_end();
  while (is_name_blank(c))
    c = input.next_char();
  std::string name;
  while (!format::ends_line(c) && name.size() < kMaxNameLength) {
    name.push_back(static_cast<char>(c));
    c = input.next_char();
  }
  const bool more = (!format::ends_line(c) && !is_name_blank(c)) || format::skip_line(input, c);
  if (!more)
    name.erase(line_name(name).size());
  return name;
}

// The layer's own question when no usable name was given.
std::string ask_for_file_name() {
  Session &s = session();
  const std::string_view eol = s.console.console() ? "\n" : "\r\n";
  for (;;) {
    std::string question = "File name missing or blank - please enter file name";
    question.append(eol).append("UNIT 66? ");
    s.console.put_raw(question);
    flush_before_read();
    std::string name = read_name_line();
    if (!name.empty())
      return name;
  }
}

} // namespace

std::string report_name(std::string_view typed) {
  std::string name(line_name(typed).substr(0, kMaxNameLength));
  if (name.empty())
    name = std::string(next_argument().substr(0, kMaxNameLength));
  if (name.empty())
    name = ask_for_file_name().substr(0, kMaxNameLength);
  return name;
}

} // namespace kelvor::recordio
