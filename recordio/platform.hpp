// The operating-system services of the record layer, behind one small interface:
// the console test, the report open with its reasons for a refusal, writes and
// reads, the source of console events, and the end of the process. Each system
// has one implementation file (platform_posix.cpp, platform_win32.cpp), chosen
// by the build; tests put a fake in its place to produce failures that a real
// system makes only rarely (a full disk, a short write, every open refusal).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "recordio/messages.hpp"

namespace kelvor::recordio::platform {

// An open stream. What the value means is the implementation's business (a
// descriptor, a handle, an index into a fake's table); `none` is no stream.
enum class Stream : std::intptr_t { none = -1 };

// The process's three standard streams.
enum class Standard : std::uint8_t { input, output, error };

// The console events that end a run, in the order of their event codes.
enum class ConsoleEvent : std::uint8_t { control_c, control_break, window_close };

// Where a report name came from. The console input and the command line may
// carry text in different encodings (on Windows, a code page and UTF-16), so a
// name's bytes are read by where they came from.
enum class NameOrigin : std::uint8_t { typed, command_line };

// The outcome of a report open: a stream, or the message that the system's
// reason for the refusal selects and the system's own text for that reason
// (shown before message 30).
struct OpenResult {
  Stream stream = Stream::none;
  Message refusal = Message::open_failure;
  std::string description;
};

// The outcome of a write or a cut: whether it was done, and if not, the system's
// own text for the reason.
struct Outcome {
  bool done = true;
  std::string reason;
};

// The outcome of one read.
struct ReadResult {
  std::size_t count = 0; // bytes read; 0 with `ended`
  bool ended = false;    // no more input: its end, or a failure
  bool failed = false;   // with `ended`: the input could not be read, for `reason`
  std::string reason;    // the system's own text for a failure

  static ReadResult bytes(std::size_t n) { return {n, false, false, {}}; }
  static ReadResult end() { return {0, true, false, {}}; }
  static ReadResult failure(std::string why) { return {0, true, true, std::move(why)}; }
};

class Platform {
public:
  // Process start-up: floating-point exceptions masked, and the signals that
  // would end the process silently (a closed pipe) turned into write failures.
  virtual void prepare_process() = 0;

  // --- Streams
  virtual Stream standard(Standard which) = 0;
  // Whether `stream` is a console, which selects the console record treatment.
  virtual bool is_console(Stream stream) = 0;
  // The command-line arguments after the program's own name, as text that
  // open_report reads as NameOrigin::command_line; valid for the whole run. By
  // default the C runtime's own, for a system whose runtime hands them over
  // unchanged.
  virtual std::span<char *const> arguments(int argc, char **argv) {
    if (argc <= 1 || argv == nullptr)
      return {};
    return {argv + 1, static_cast<std::size_t>(argc - 1)};
  }
  // Opens `name` for writing, creating it if missing and never truncating it.
  virtual OpenResult open_report(const std::string &name, NameOrigin origin) = 0;
  // `name` as a message line on standard error shows it. By default its bytes
  // unchanged, for a system on which every stream carries the same encoding.
  virtual std::string shown_name(const std::string &name, NameOrigin) { return name; }
  // Cuts a regular file off after `length` bytes; other streams are left alone
  // (and count as done).
  virtual Outcome truncate(Stream stream, std::uint64_t length) = 0;
  // Writes all of `bytes`; not done on any failure (full disk, closed pipe).
  virtual Outcome write(Stream stream, std::string_view bytes) = 0;
  virtual ReadResult read(Stream stream, std::span<char> buffer) = 0;
  // Standard input opened with a UTF-8 byte-order mark: its text is UTF-8. A
  // system whose names are bytes, whatever their encoding, keeps the default.
  virtual void input_is_utf8() {}
  virtual void close(Stream stream) = 0;
  // Whether the console has gone away (its window closed, its terminal hung
  // up). A read that ends or a console write that fails is then the
  // window-CLOSE event, not an end of input or a write failure. A system that
  // reports the closing only as a console event keeps the default.
  virtual bool console_hung_up() { return false; }

  // --- Console events
  // Starts a thread of its own that waits for console events and calls
  // `on_event` there; the events no longer reach any other thread.
  virtual void watch_console_events(void (*on_event)(ConsoleEvent)) = 0;

  // --- The end of the process
  // Ends the process with `status`, 0 or 0xC0000000 plus a message number (a
  // system that cannot show it whole shows what its parents can see).
  [[noreturn]] virtual void exit(std::uint32_t status) = 0;
  // Ends the process the way the console event itself ends a program, so that
  // the parent sees an interrupted run, not a success.
  [[noreturn]] virtual void exit_by_event(ConsoleEvent event) = 0;
  // Blocks the calling thread for good, while another thread ends the process.
  [[noreturn]] virtual void wait_forever() = 0;

protected:
  ~Platform() = default;
};

// The implementation for the system that the program is built for.
Platform &native();

} // namespace kelvor::recordio::platform
