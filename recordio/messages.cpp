// Message texts, as data: one row a message, %d the unit number, %s its file.
#include "recordio/messages.hpp"

namespace kelvor::recordio {
namespace {

struct MessageText {
  Message message;
  std::string_view text;
};
constexpr MessageText kMessages[] = {
    {Message::end_of_file, "end-of-file during read, unit %d, file %s"},
    {Message::open_failure, "open failure, unit %d, file %s"},
    {Message::write_failure, "error during write, unit %d, file %s"},
    {Message::read_failure, "error during read, unit %d, file %s"},
    {Message::no_such_device, "no such device, unit %d, file %s"},
    {Message::bad_file_name, "file name specification error, unit %d, file %s"},
    {Message::syntax_error, "list-directed I/O syntax error, unit %d, file %s"},
    {Message::conversion_error, "input conversion error, unit %d, file %s"},
    {Message::access_denied, "access not allowed"},
    {Message::file_exists, "file already exists"},
    {Message::file_not_found, "file not found"},
    {Message::too_many_open_files, "too many open files"},
};

std::string_view message_text(Message m) {
  for (const auto &entry : kMessages)
    if (entry.message == m)
      return entry.text;
  return {};
}

std::string message_line(std::string_view severity, int number, std::string_view text) {
  std::string line = "vemtal: ";
  line.append(severity).append(" (").append(std::to_string(number)).append("): ").append(text);
  return line;
}

} // namespace

std::string severe_line(Message message, Unit unit, std::string_view file) {
  std::string text(message_text(message));
  if (const auto at = text.find("%d"); at != std::string::npos)
    text.replace(at, 2, std::to_string(static_cast<int>(unit)));
  if (const auto at = text.find("%s"); at != std::string::npos)
    text.replace(at, 2, file);
  return message_line("severe", static_cast<int>(message), text);
}

std::string event_line(std::string_view event) {
  std::string text = "program aborting due to ";
  text.append(event).append(" event");
  return message_line("error", 200, text);
}

std::string system_line(std::string_view description) {
  return std::string("vemtal: ").append(description);
}

} // namespace kelvor::recordio
