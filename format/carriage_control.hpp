// Console carriage control: on a console the first character of a record is not
// shown but chooses the spacing before it, and the line end of a record is owed
// until the next record begins, so that a "+" record can still overwrite the line.
#pragma once

#include <string>
#include <string_view>

namespace kelvor::format {

// Appends what the console shows for one record to `out`. `pending` holds whether a
// line end is owed by the record before; a record written without advance (a
// prompt) leaves none owed, since the user's Enter ends that line.
//   blank or other  new line, then the record
//   "0"             one empty line, then the record
//   "1"             form feed, then the record
//   "+"             back to the start of the current line
//   empty record    an empty line
void append_console_record(std::string &out, bool &pending, std::string_view record, bool advance);

// Completes the console at the end of the run: the owed line end, if any.
void finish_console(std::string &out, bool &pending);

} // namespace kelvor::format
