// What `kelvor --version` and `kelvor --help` print. Either, given as the only
// argument, is answered before the run opens anything; any other command line is
// the dialogue's (its arguments are the report name's fallback).
#pragma once

#include <optional>
#include <string_view>

namespace kelvor::dialogue {

// The text that the command line asks for, or nothing when it is the dialogue's.
std::optional<std::string_view> about_text(int argc, const char *const *argv);

// Prints `text` on standard output; the exit status: 0, or 1 when it could not be written.
int print_about(std::string_view text);

} // namespace kelvor::dialogue
