// The record layer's streams and the ways a run ends.
//
// Output records are collected whole in a buffer per stream and handed to the
// system in large writes. Every stream has a lock that a record holds only while
// it is appended, so the console interrupt handler, which runs on its own
// thread, can take the locks, write out every completed record and end the
// process: a record is either in the file entirely or not at all.
#include "recordio/record_io.hpp"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "recordio/carriage_control.hpp"
#include "recordio/platform.hpp"

namespace kelvor::recordio {
namespace {

using platform::ConsoleEvent;
using platform::OpenFailure;

constexpr std::size_t kFlushThreshold = 1 << 15;
constexpr std::size_t kMaxNameLength = 256;
constexpr std::string_view kStopText = "Stop - Program terminated.";
constexpr std::chrono::seconds kCloseWait{2};

// An output unit: the console (unit 6) or the report file (unit 66).
struct OutputStream final : RecordSink {
  int fd = -1;
  int unit = 0;
  bool carriage_control = false; // console record treatment: first character steers
  bool pending_line_end = false; // console: the last record's line end is still owed
  bool truncate_first = false;   // report: old contents go at the first write
  bool failed = false;           // a write failed; the run ends at the next check
  std::string buffer;
  std::string name;
  std::timed_mutex lock;

  void put_record(std::string_view text, bool advance) override {
    std::lock_guard guard(lock);
    if (failed)
      return;
    if (carriage_control)
      append_console_record(buffer, pending_line_end, text, advance);
    else {
      buffer.append(text);
      if (advance)
        buffer.append("\r\n");
    }
    if (carriage_control || buffer.size() >= kFlushThreshold)
      flush_locked();
  }

  // Raw text on the console, outside the record treatment (the layer's own
  // question for a missing file name).
  void put_raw(std::string_view text) {
    std::lock_guard guard(lock);
    buffer.append(text);
  }

  void flush_locked() {
    if (buffer.empty() || fd < 0 || failed)
      return;
    if (truncate_first) {
      platform::truncate_to_start(fd);
      truncate_first = false;
    }
    if (!platform::write_all(fd, buffer.data(), buffer.size()))
      failed = true;
    buffer.clear();
  }

  bool flush() {
    std::lock_guard guard(lock);
    flush_locked();
    return !failed;
  }

  // Completes the stream: the owed console line end, every buffered record.
  // Whatever is appended afterwards goes nowhere, since the descriptor is gone.
  // The lock is waited for a bounded time only: the dialogue may be stuck in a
  // write to a pipe that nobody reads, and an interrupt must still end the run.
  bool close() {
    std::unique_lock guard(lock, kCloseWait);
    if (!guard.owns_lock())
      return false;
    finish_console(buffer, pending_line_end);
    flush_locked();
    if (fd > platform::kStderr)
      platform::close_fd(fd);
    fd = -1;
    return !failed;
  }
};

// Console input, unit 5: lines of any length from standard input.
struct ConsoleInput final : LineSource {
  int fd = platform::kStdin;
  std::string buffer;
  std::size_t start = 0; // first byte not yet handed out
  bool at_end = false;

  bool next_line(std::string_view &line) override {
    // Counted from `start`, which a refill may move when it compacts the buffer.
    std::size_t scanned = 0;
    for (;;) {
      const std::size_t nl = buffer.find('\n', start + scanned);
      if (nl != std::string::npos)
        return hand_out(line, nl, nl + 1);
      scanned = buffer.size() - start;
      if (at_end || !fill()) {
        at_end = true;
        if (start == buffer.size())
          return false;
        return hand_out(line, buffer.size(), buffer.size()); // last line, no line end
      }
    }
  }

  bool hand_out(std::string_view &line, std::size_t end, std::size_t next) {
    std::size_t len = end - start;
    if (len > 0 && buffer[start + len - 1] == '\r')
      --len;
    line = std::string_view(buffer).substr(start, len);
    start = next;
    return true;
  }

  bool fill() {
    if (start > 0 && start == buffer.size()) {
      buffer.clear();
      start = 0;
    } else if (start > buffer.capacity() / 2) {
      buffer.erase(0, start);
      start = 0;
    }
    constexpr std::size_t chunk = 4096;
    const std::size_t old = buffer.size();
    buffer.resize(old + chunk);
    const std::size_t got = platform::read_some(fd, buffer.data() + old, chunk);
    buffer.resize(old + got);
    return got > 0;
  }
};

struct Layer {
  OutputStream console;
  OutputStream report;
  ConsoleInput input;
  int error_fd = platform::kStderr;
  std::size_t next_argument = 0;
  ExitHook exit_hook = nullptr;
  std::atomic<bool> ending{false};

  Layer() {
    console.unit = 6;
    console.fd = platform::kStdout;
    console.name = "CONOUT$";
    console.buffer.reserve(2 * kFlushThreshold);
    report.unit = 66;
    report.buffer.reserve(2 * kFlushThreshold);
  }
};

Layer &layer() {
  static Layer instance;
  return instance;
}

std::string unit_name(int unit) {
  if (unit == 5)
    return "CONIN$";
  if (unit == 6)
    return "CONOUT$";
  return layer().report.name;
}

// The text of every severe message; %d is the unit number, %s the unit's file.
struct MessageText {
  Message message;
  const char *text;
};
constexpr MessageText kMessages[] = {
    {Message::end_of_file, "end-of-file during read, unit %d, file %s"},
    {Message::open_failure, "open failure, unit %d, file %s"},
    {Message::write_failure, "error during write, unit %d, file %s"},
    {Message::no_such_device, "no such device, unit %d, file %s"},
    {Message::bad_file_name, "file name specification error, unit %d, file %s"},
    {Message::syntax_error, "list-directed I/O syntax error, unit %d, file %s"},
    {Message::conversion_error, "input conversion error, unit %d, file %s"},
    {Message::access_denied, "access not allowed"},
    {Message::file_exists, "file already exists"},
    {Message::file_not_found, "file not found"},
    {Message::too_many_open_files, "too many open files"},
};

const char *message_text(Message m) {
  for (const auto &entry : kMessages)
    if (entry.message == m)
      return entry.text;
  return "";
}

void write_error_line(std::string_view line) {
  std::string text(line);
  text.append("\r\n");
  (void)platform::write_all(layer().error_fd, text.data(), text.size());
}

std::string format_message(std::string_view severity, int number, const char *text_format,
                           int unit) {
  const std::string name = unit_name(unit);
  std::string text(text_format);
  if (const auto at = text.find("%d"); at != std::string::npos)
    text.replace(at, 2, std::to_string(unit));
  if (const auto at = text.find("%s"); at != std::string::npos)
    text.replace(at, 2, name);
  std::string line = "vemtal: ";
  line.append(severity).append(" (").append(std::to_string(number)).append("): ").append(text);
  return line;
}

// Completes and closes both output streams; false if a record could not be
// written out.
bool close_streams() {
  const bool console_ok = layer().console.close();
  const bool report_ok = layer().report.close();
  return console_ok && report_ok;
}

// Only the first way out is taken; a second one (the interrupt while the
// dialogue ends, or the other way round) waits for the first to end the process.
void claim_the_end() {
  if (layer().ending.exchange(true) && layer().exit_hook == nullptr)
    platform::wait_forever();
}

[[noreturn]] void exit_with(int status) {
  if (layer().exit_hook != nullptr)
    layer().exit_hook(status);
  platform::exit_process(status);
}

// The exit status of a severe message: 0xC0000000 plus the message number, of
// which a POSIX parent sees the low eight bits.
int severe_status(int number) {
  const unsigned status = 0xC0000000u + static_cast<unsigned>(number);
  return static_cast<int>(status & 0xFFu);
}

// Writes the message (after the system's own description, if any), completes
// the streams and ends the process. The caller has claimed the end.
[[noreturn]] void end_severe(int number, const std::string &line, const char *system_text) {
  if (system_text != nullptr)
    write_error_line(std::string("vemtal: ") + system_text);
  write_error_line(line);
  (void)close_streams();
  exit_with(severe_status(number));
}

void on_console_event(ConsoleEvent event) {
  static constexpr const char *names[] = {"control-C", "control-BREAK", "window-CLOSE"};
  claim_the_end();
  std::string line = "vemtal: error (200): program aborting due to ";
  line.append(names[static_cast<int>(event)]).append(" event");
  write_error_line(line);
  (void)close_streams();
  platform::exit_by_event(event);
}

// Ends the run if a write of `stream` failed.
void check(OutputStream &stream) {
  bool failed = false;
  {
    std::lock_guard guard(stream.lock);
    failed = stream.failed;
  }
  if (failed)
    end_with_message(Message::write_failure, stream.unit);
}

// Before waiting for an answer, everything written so far goes out: the prompt
// must be visible, and the report is up to date whenever the program waits.
void flush_before_read() {
  (void)layer().console.flush();
  (void)layer().report.flush();
  check(layer().console);
  check(layer().report);
}

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::string_view next_argument() {
  const auto args = platform::arguments();
  if (layer().next_argument >= args.size())
    return {};
  return trim(args[layer().next_argument++]);
}

// The layer's own question when no usable name was given.
std::string ask_for_file_name() {
  const std::string_view eol = layer().console.carriage_control ? "\n" : "\r\n";
  for (;;) {
    std::string question = "File name missing or blank - please enter file name";
    question.append(eol).append("UNIT 66? ");
    layer().console.put_raw(question);
    flush_before_read();
    std::string_view line;
    if (!layer().input.next_line(line))
      end_with_message(Message::end_of_file, 5);
    const std::string_view name = trim(line);
    if (!name.empty())
      return std::string(name);
  }
}

Message open_message(OpenFailure f) {
  switch (f) {
    case OpenFailure::not_found:
      return Message::file_not_found;
    case OpenFailure::too_many_files:
      return Message::too_many_open_files;
    case OpenFailure::access_denied:
      return Message::access_denied;
    case OpenFailure::no_device:
      return Message::no_such_device;
    case OpenFailure::exists:
      return Message::file_exists;
    case OpenFailure::bad_name:
      return Message::bad_file_name;
    case OpenFailure::none:
    case OpenFailure::other:
      break;
  }
  return Message::open_failure;
}

} // namespace

void start_up(int argc, char **argv) {
  platform::mask_floating_point_exceptions();
  platform::set_arguments(argc, argv);
  layer().console.carriage_control = platform::stdout_is_console();
  platform::start_console_event_thread(on_console_event);
}

void write(Unit unit, Layout layout, std::span<const Value> values) {
  OutputStream &stream = unit == Unit::console ? layer().console : layer().report;
  write_layout(layout, values, stream);
  check(stream);
}

void read(std::span<const ListItem> items) {
  flush_before_read();
  switch (read_list(layer().input, items)) {
    case ReadError::none:
      return;
    case ReadError::syntax:
      end_with_message(Message::syntax_error, 5);
    case ReadError::conversion:
      end_with_message(Message::conversion_error, 5);
    case ReadError::end_of_input:
      end_with_message(Message::end_of_file, 5);
  }
}

void read_text(std::span<char> field) {
  flush_before_read();
  std::string_view line;
  if (!layer().input.next_line(line))
    end_with_message(Message::end_of_file, 5);
  for (std::size_t i = 0; i < field.size(); ++i)
    field[i] = i < line.size() ? line[i] : ' ';
}

void open_report(std::string_view typed) {
  std::string name(trim(typed).substr(0, kMaxNameLength));
  if (name.empty())
    name = std::string(next_argument().substr(0, kMaxNameLength));
  if (name.empty())
    name = ask_for_file_name().substr(0, kMaxNameLength);
  OutputStream &report = layer().report;
  report.name = name;
  OpenFailure failure = OpenFailure::other;
  const char *description = "";
  const int fd = name.find('\0') == std::string::npos
                     ? platform::open_for_writing(name.c_str(), failure, description)
                     : (failure = OpenFailure::bad_name, -1);
  if (fd < 0) {
    const Message m = open_message(failure);
    const int number = static_cast<int>(m);
    claim_the_end();
    end_severe(number, format_message("severe", number, message_text(m), 66),
               m == Message::open_failure ? description : nullptr);
  }
  std::lock_guard guard(report.lock);
  report.fd = fd;
  report.truncate_first = true;
}

void stop() {
  claim_the_end();
  OutputStream &console = layer().console;
  {
    std::lock_guard guard(console.lock);
    if (console.carriage_control) {
      finish_console(console.buffer, console.pending_line_end);
      console.buffer.append(kStopText);
      console.pending_line_end = true;
    } else {
      console.buffer.append(kStopText).append("\r\n");
    }
  }
  const bool console_ok = console.flush();
  const bool report_ok = layer().report.flush();
  if (!console_ok || !report_ok) {
    const int number = static_cast<int>(Message::write_failure);
    end_severe(
        number,
        format_message("severe", number, message_text(Message::write_failure), console_ok ? 66 : 6),
        nullptr);
  }
  (void)close_streams();
  exit_with(0);
}

void end_with_message(Message message, int unit) {
  claim_the_end();
  const int number = static_cast<int>(message);
  end_severe(number, format_message("severe", number, message_text(message), unit), nullptr);
}

void set_exit_hook(ExitHook hook) {
  layer().exit_hook = hook;
}

void set_descriptors(int input_fd, int output_fd, int error_fd, bool console) {
  Layer &l = layer();
  l.input.fd = input_fd;
  l.input.buffer.clear();
  l.input.start = 0;
  l.input.at_end = false;
  l.console.fd = output_fd;
  l.console.carriage_control = console;
  l.console.pending_line_end = false;
  l.console.failed = false;
  l.console.buffer.clear();
  l.report.fd = -1;
  l.report.failed = false;
  l.report.buffer.clear();
  l.report.name.clear();
  l.error_fd = error_fd;
  l.next_argument = 0;
  l.ending = false;
}

} // namespace kelvor::recordio
