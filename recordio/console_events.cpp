// The console interrupt: control-C, control-BREAK or window-CLOSE ends the run
// from a thread of its own, whatever the dialogue is doing. The handler claims
// the end, writes its message, completes the streams (a record is in the report
// whole or not at all) and ends the process the way the event itself would.
#include <cstdlib>

#include "recordio/session.hpp"
#include "recordio/session_testing.hpp"

namespace kelvor::recordio {
namespace {

using platform::ConsoleEvent;

constexpr std::string_view kEventNames[] = {"control-C", "control-BREAK", "window-CLOSE"};

[[noreturn]] void on_console_event(ConsoleEvent event) {
  claim_the_end();
  seal_streams();
  write_error_line(event_line(kEventNames[static_cast<std::size_t>(event)]));
  (void)close_streams();
  session().os.exit_by_event(event);
  std::abort(); // not reached: the event's own exit does not return
}

} // namespace

void end_by_console_event(ConsoleEvent event) {
  on_console_event(event);
}

void watch_console_events() {
  session().os.watch_console_events(on_console_event);
}

void testing::deliver_console_event(ConsoleEvent event) {
  on_console_event(event);
}

} // namespace kelvor::recordio
