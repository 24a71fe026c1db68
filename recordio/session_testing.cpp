// Built into the testing library only: the program itself never links it.
#include "recordio/session_testing.hpp"

#include "recordio/console_events.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio::testing {

void begin_session(platform::Platform &os, std::span<char *const> arguments) {
  make_session(os, arguments);
}

void deliver_console_event(platform::ConsoleEvent event) {
  end_by_console_event(event);
}

} // namespace kelvor::recordio::testing
