// The report-file open: the name as typed, else the next command-line
// argument, else the layer's own question; then the system's open, whose
// refusal ends the run with the message that its reason selects.
#include <string>

#include "recordio/record_io.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {
namespace {

constexpr std::size_t kMaxNameLength = 256;

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
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

// One line of the console as a name: its blanks at both ends removed and its
// first kMaxNameLength characters kept; the rest of a longer line is passed over
// without being stored.
std::string read_name_line() {
  format::CharSource &input = session().input;
  int c = input.next_char();
  if (c == format::CharSource::kEndOfInput)
    end_with_message(Message::end_of_file, 5);
  while (is_name_blank(c))
    c = input.next_char();
  std::string name;
  const auto in_line = [&c] {
    return c != format::CharSource::kLineEnd && c != format::CharSource::kEndOfInput;
  };
  while (in_line() && name.size() < kMaxNameLength) {
    name.push_back(static_cast<char>(c));
    c = input.next_char();
  }
  const bool more = (in_line() && !is_name_blank(c)) || format::skip_line(input, c);
  if (!more)
    name.erase(trim(name).size());
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

// The report's name, and where it came from.
struct ReportName {
  std::string text;
  platform::NameOrigin origin;
};

// The name as typed, else the next command-line argument, else the answer to
// the layer's own question.
ReportName choose_name(std::string_view typed) {
  if (std::string name(trim(typed).substr(0, kMaxNameLength)); !name.empty())
    return {name, platform::NameOrigin::typed};
  if (std::string name(next_argument().substr(0, kMaxNameLength)); !name.empty())
    return {name, platform::NameOrigin::command_line};
  return {ask_for_file_name().substr(0, kMaxNameLength), platform::NameOrigin::typed};
}

} // namespace

void open_report(std::string_view typed) {
  const ReportName name = choose_name(typed);
  Session &s = session();
  platform::OpenResult opened;
  if (name.text.find('\0') == std::string::npos)
    opened = s.os.open_report(name.text, name.origin);
  else
    opened.refusal = Message::bad_file_name; // no system takes a name with a NUL in it
  const std::string shown = s.os.shown_name(name.text, name.origin);
  if (opened.stream == platform::Stream::none) {
    s.report.connect(platform::Stream::none, shown);
    claim_the_end();
    seal_streams();
    if (opened.refusal == Message::open_failure)
      write_error_line(system_line(opened.description));
    end_severe(opened.refusal, 66);
  }
  s.report.connect(opened.stream, shown);
}

} // namespace kelvor::recordio
