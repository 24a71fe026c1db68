// The console interrupt: control-C, control-BREAK or window-CLOSE ends the run.
#pragma once

#include "recordio/platform.hpp"

namespace kelvor::recordio {

// Starts the console interrupt handler on a thread of its own.
void watch_console_events();

// Ends the run as `event` does. The handler's thread calls it for the system's
// events; the dialogue's own thread for a console that went away while the
// dialogue read or wrote it.
[[noreturn]] void end_by_console_event(platform::ConsoleEvent event);

} // namespace kelvor::recordio
