// How a run ends: the one way out, the streams completed, the message and the
// process's exit.
#pragma once

#include <string_view>

#include "recordio/messages.hpp"
#include "recordio/streams.hpp"
#include "recordio/unit.hpp"

namespace kelvor::recordio {

// Takes the one way out of the run; a second taker (the interrupt while the
// dialogue ends, or the other way round) waits for the first to end the process.
void claim_the_end();

// The first step of every end with a message: no record is started any more,
// and on a console the message will start a line of its own.
void seal_streams();

// Completes and closes both output streams; false if a record could not be
// written out.
bool close_streams();

// One line on standard error, ended by CR LF.
void write_error_line(std::string_view line);

// Writes the severe message naming `unit` and its file, after a line with the
// system's own text when there is one, completes the streams and ends the
// process; the caller has claimed the end.
[[noreturn]] void end_severe(Message message, Unit unit, std::string_view system_text = {});

// Ends the run where the console input gave out: message 24 at its end, 39
// after the system's text when it could not be read.
[[noreturn]] void end_at_input_end();

// Ends the run if a write of `stream` failed.
void end_if_failed(OutputStream &stream);

// Before waiting for an answer, everything written so far goes out: the prompt
// must be visible, and the report is up to date whenever the program waits.
// Ends the run if a write failed.
void flush_before_read();

} // namespace kelvor::recordio
