// The record layer as the dialogue sees it: three numbered streams (unit 5 the
// console input, unit 6 the console output, unit 66 the report file), writes
// through record layouts, list-directed reads, the report-file open, the stop and
// every way a run can end with a message.
#pragma once

#include <span>
#include <string_view>

#include "format/layout.hpp"
#include "format/list_read.hpp"
#include "recordio/messages.hpp"
#include "recordio/unit.hpp"

namespace kelvor::recordio {

// Called once at start-up: masks floating-point exceptions, remembers the
// command line, decides the console treatment of unit 6 and starts the console
// interrupt handler.
void start_up(int argc, char **argv);

// Writes one layout with its values to unit 6 or unit 66.
void write(Unit unit, format::Layout layout, std::span<const format::Value> values = {});

// Writes one layout with its values to both output units, to `first` and then to
// the other; the records are formatted once. A failed write of the first ends
// the run before the other receives them.
void write_both(Unit first, format::Layout layout, std::span<const format::Value> values = {});

// One list-directed read from unit 5. A malformed answer, the end of input or
// an input that cannot be read ends the run with its message.
void read(std::span<const format::ListItem> items);

// Reads one new line from unit 5 into `field`: its first field.size() characters,
// a shorter line completed with blanks.
void read_text(std::span<char> field);

// Connects unit 66 to the report file named by `typed` (see report_name.hpp;
// status "UNKNOWN"), or ends the run with the message that the reason for a
// refusal selects.
void open_report(std::string_view name);

// The normal end: "Stop - Program terminated." on unit 6, streams completed and
// closed, exit status 0.
[[noreturn]] void stop();

// Ends the run with a severe message naming `unit` and its file.
[[noreturn]] void end_with_message(Message message, Unit unit);

} // namespace kelvor::recordio
