// The seam through which tests and in-process harnesses run the record layer on
// a platform of their own (a fake that records every byte and throws at the end
// of the run). Not for the program itself, which calls start_up.
#pragma once

#include <span>

#include "recordio/platform.hpp"

namespace kelvor::recordio::testing {

// Starts a fresh session on `os`: new streams and buffers, no argument taken yet,
// no end claimed. Unlike start_up it starts no console event thread.
void begin_session(platform::Platform &os, std::span<char *const> arguments = {});

// Hands `event` to the console interrupt handler on the calling thread.
[[noreturn]] void deliver_console_event(platform::ConsoleEvent event);

} // namespace kelvor::recordio::testing
