// The record layer as the dialogue sees it: three numbered streams (unit 5 the
// console input, unit 6 the console output, unit 66 the report file), writes
// through record layouts, list-directed reads, the report-file open, the stop and
// every way a run can end with a message.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "recordio/layout.hpp"
#include "recordio/list_read.hpp"

namespace kelvor::recordio {

enum class Unit : std::uint8_t { console = 6, report = 66 };

// Message numbers of the runs that end with a message.
enum class Message : int {
  end_of_file = 24,          // standard input ended during a read
  open_failure = 30,         // the report file cannot be opened, other reason
  write_failure = 38,        // a record could not be written
  no_such_device = 42,       // the report file names a missing device
  bad_file_name = 43,        // the report file name cannot be used
  syntax_error = 59,         // a malformed answer
  conversion_error = 64,     // an answer that does not fit its item
  access_denied = 600,       // the report file may not be written
  file_exists = 601,         // the report file already exists
  file_not_found = 602,      // the report file's path does not exist
  too_many_open_files = 603, // no descriptor left for the report file
};

// Called once at start-up: masks floating-point exceptions, remembers the
// command line, decides the console treatment of unit 6 and starts the console
// interrupt handler.
void start_up(int argc, char **argv);

// Writes one layout with its values to unit 6 or unit 66.
void write(Unit unit, Layout layout, std::span<const Value> values = {});

// One list-directed read from unit 5. A malformed answer or the end of input
// ends the run with its message.
void read(std::span<const ListItem> items);

// Reads one new line from unit 5 into `field`: its first field.size() characters,
// a shorter line completed with blanks.
void read_text(std::span<char> field);

// Connects unit 66 to the report file (status "UNKNOWN"), or ends the run with
// the message that the reason for a refusal selects.
void open_report(std::string_view name);

// The normal end: "Stop - Program terminated." on unit 6, streams completed and
// closed, exit status 0.
[[noreturn]] void stop();

// Ends the run with a severe message naming `unit` (5, 6 or 66) and its file.
[[noreturn]] void end_with_message(Message message, int unit);

// How a run ends, for harnesses that run the dialogue inside their own process:
// the default ends the process; a replacement must not return either (a test
// harness throws).
using ExitHook = void (*)(int status);
void set_exit_hook(ExitHook hook);

// Redirects the three streams to other descriptors (for in-process harnesses) and
// resets the layer for a new run. The end of a run closes the output descriptor
// (if above 2) and the report file, never the input or error descriptors.
void set_descriptors(int input_fd, int output_fd, int error_fd, bool console);

} // namespace kelvor::recordio
