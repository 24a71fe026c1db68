// The few operating-system services the record layer needs, behind one small
// interface so that another operating system needs only a second implementation
// of this file (platform_posix.cpp is the one for POSIX systems).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kelvor::recordio::platform {

inline constexpr int kStdin = 0;
inline constexpr int kStdout = 1;
inline constexpr int kStderr = 2;

// The console events that end a run, in the order of their event codes.
enum class ConsoleEvent : std::uint8_t { control_c, control_break, window_close };

// Why the report file could not be opened, as the messages distinguish it.
enum class OpenFailure : std::uint8_t {
  none,
  not_found,      // file or path not found (602)
  too_many_files, // too many open files (603)
  access_denied,  // access denied, write-protected, or a directory (600)
  no_device,      // invalid drive or device (42)
  exists,         // file already exists (601)
  bad_name,       // invalid name or name too long (43)
  other,          // anything else (30), with the system's own description
};

// Masks every floating-point exception: divisions by zero and invalid
// operations give IEEE infinities and NaNs and the run goes on.
void mask_floating_point_exceptions();

// Whether standard output is a console (a terminal), which selects the console
// record treatment.
bool stdout_is_console();

// Remembers the process's command-line arguments (after the program's name).
void set_arguments(int argc, char **argv);
std::span<char *const> arguments();

// Opens (creating if missing, never truncating) `name` for writing. On success
// returns the descriptor and sets `failure` to none; otherwise returns -1, sets
// `failure` and `description` (the system's own text for the reason).
int open_for_writing(const char *name, OpenFailure &failure, const char *&description);

// Cuts a file off at its start; a descriptor that is not a regular file is left
// alone.
void truncate_to_start(int fd);

// Writes all `n` bytes; false on any failure (full disk, closed pipe).
bool write_all(int fd, const char *data, std::size_t n);

// Reads up to `n` bytes; returns the count, 0 at the end of input.
std::size_t read_some(int fd, char *data, std::size_t n);

void close_fd(int fd);

// Starts the thread that waits for console events (control-C, control-BREAK,
// window-CLOSE) and calls `on_event` on that thread. The events are blocked on
// every other thread. A closed pipe on standard output is reported as a write
// failure instead of killing the process.
void start_console_event_thread(void (*on_event)(ConsoleEvent));

// Blocks the calling thread for good (while another thread ends the process).
[[noreturn]] void wait_forever();

// Ends the process with `status` without running any further library cleanup.
[[noreturn]] void exit_process(int status);

// Ends the process the way the event itself would have ended it, so that the
// parent sees the run as interrupted, not as a success.
[[noreturn]] void exit_by_event(ConsoleEvent event);

} // namespace kelvor::recordio::platform
