// The handler claims the end, writes its message, completes the streams (a
// record is in the report whole or not at all) and ends the process the way the
// event itself would.
#include "recordio/console_events.hpp"

#include <cstdlib>

#include "recordio/ending.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {
namespace {

constexpr std::string_view kEventNames[] = {"control-C", "control-BREAK", "window-CLOSE"};

} // namespace

void end_by_console_event(platform::ConsoleEvent event) {
  claim_the_end();
  seal_streams();
  write_error_line(event_line(kEventNames[static_cast<std::size_t>(event)]));
  (void)close_streams();
  session().os.exit_by_event(event);
  std::abort(); // not reached: the event's own exit does not return
}

void watch_console_events() {
  session().os.watch_console_events(end_by_console_event);
}

} // namespace kelvor::recordio
