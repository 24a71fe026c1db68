// The run's session: everything of the record layer that lives from start-up
// to the end of the run, in one record so that a fresh run is one construction.
#pragma once

#include <atomic>
#include <cstddef>
#include <span>

#include "recordio/platform.hpp"
#include "recordio/streams.hpp"

namespace kelvor::recordio {

struct Session {
  Session(platform::Platform &os, std::span<char *const> arguments);

  platform::Platform &os;
  OutputStream console; // unit 6
  OutputStream report;  // unit 66, connected by the report open
  ConsoleInput input;   // unit 5
  RecordList both;      // a write to both output units, formatted once
  platform::Stream error;
  std::span<char *const> arguments; // after the program's own name
  std::size_t next_argument = 0;
  std::atomic<bool> ending{false}; // a way out of the run has been taken
};

// The running session; start_up (or a test's begin_session) makes it.
Session &session();

// Makes a fresh session on `os`, replacing any earlier one.
void make_session(platform::Platform &os, std::span<char *const> arguments);

// The streams' names, as messages cite them.
inline constexpr std::string_view kInputName = "CONIN$";
inline constexpr std::string_view kOutputName = "CONOUT$";

// Writes the severe message naming `unit` and its file, completes the streams
// and ends the process; the caller has claimed the end (defined in ending.cpp).
[[noreturn]] void end_severe(Message message, int unit);

// Takes the one way out of the run; a second taker (the interrupt while the
// dialogue ends, or the other way round) waits for the first to end the process.
void claim_the_end();

// Completes and closes both output streams; false if a record could not be
// written out.
bool close_streams();

// Starts the console interrupt handler on a thread of its own (defined in
// console_events.cpp).
void watch_console_events();

// Ends the run as `event` does, from the dialogue's own thread: a console that
// went away while the dialogue read or wrote it (defined in console_events.cpp).
[[noreturn]] void end_by_console_event(platform::ConsoleEvent event);

// The first step of every end with a message: no record is started any more,
// and on a console the message will start a line of its own.
void seal_streams();

// One line on standard error, ended by CR LF.
void write_error_line(std::string_view line);

// Before waiting for an answer, everything written so far goes out: the prompt
// must be visible, and the report is up to date whenever the program waits.
// Ends the run if a write failed.
void flush_before_read();

} // namespace kelvor::recordio
