// The run's session: everything of the record layer that lives from start-up
// to the end of the run, in one record so that a fresh run is one construction.
#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "recordio/platform.hpp"
#include "recordio/streams.hpp"
#include "recordio/unit.hpp"

namespace kelvor::recordio {

struct Session {
  Session(platform::Platform &os, std::span<char *const> arguments);

  platform::Platform &os;
  OutputStream console; // unit 6
  OutputStream report;  // unit 66, connected by the report open
  ConsoleInput input;   // unit 5
  RecordList both;      // a write to both output units, formatted once
  std::string record;   // the layout walker's record under construction
  platform::Stream error;
  std::span<char *const> arguments; // after the program's own name
  std::size_t next_argument = 0;
  std::atomic<bool> ending{false}; // a way out of the run has been taken
};

// The running session; start_up (or a test's begin_session) makes it.
Session &session();

// Makes a fresh session on `os`, replacing any earlier one.
void make_session(platform::Platform &os, std::span<char *const> arguments);

// The name of `unit`'s file, as messages cite it.
std::string_view unit_name(Unit unit);

} // namespace kelvor::recordio
