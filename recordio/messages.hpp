// The messages with which a run ends, and the exit statuses they give.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "recordio/unit.hpp"

namespace kelvor::recordio {

// Message numbers of the runs that end with a message.
enum class Message : int {
  end_of_file = 24,          // standard input ended during a read
  open_failure = 30,         // the report file cannot be opened, other reason
  write_failure = 38,        // a record could not be written
  read_failure = 39,         // standard input could not be read (not its end)
  no_such_device = 42,       // the report file names a missing device
  bad_file_name = 43,        // the report file name cannot be used
  syntax_error = 59,         // a malformed answer
  conversion_error = 64,     // an answer that does not fit its item
  access_denied = 600,       // the report file may not be written
  file_exists = 601,         // the report file already exists
  file_not_found = 602,      // the report file's path does not exist
  too_many_open_files = 603, // no descriptor left for the report file
};

// "vemtal: severe (n): text", the text naming unit `unit` and its file `file`
// where it has room for them; no line end.
std::string severe_line(Message message, Unit unit, std::string_view file);

// "vemtal: error (200): program aborting due to <event> event" for the event
// named `event` ("control-C", "control-BREAK" or "window-CLOSE").
std::string event_line(std::string_view event);

// "vemtal: " and the operating system's own description of a failure.
std::string system_line(std::string_view description);

// The exit status of a severe message: 0xC0000000 plus the message number.
constexpr std::uint32_t severe_status(Message message) {
  return 0xC0000000u + static_cast<std::uint32_t>(message);
}

} // namespace kelvor::recordio
