// The three streams and the dialogue's writes and reads on them.
#include "recordio/streams.hpp"

#include "format/carriage_control.hpp"
#include "recordio/record_io.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {
namespace {

constexpr std::size_t kFlushThreshold = 1 << 15;
constexpr std::chrono::seconds kCloseWait{2};

} // namespace

OutputStream::OutputStream(platform::Platform &os, platform::Stream stream, int unit,
                           std::string name, bool console)
    : os_(os), stream_(stream), unit_(unit), name_(std::move(name)), carriage_control_(console) {
  buffer_.reserve(2 * kFlushThreshold);
}

void OutputStream::put_record(std::string_view text, bool advance) {
  std::lock_guard guard(lock_);
  if (failed_)
    return;
  if (carriage_control_)
    format::append_console_record(buffer_, pending_line_end_, text, advance);
  else {
    buffer_.append(text);
    if (advance)
      buffer_.append("\r\n");
  }
  if (carriage_control_ || buffer_.size() >= kFlushThreshold)
    flush_locked();
}

void OutputStream::put_raw(std::string_view text) {
  std::lock_guard guard(lock_);
  buffer_.append(text);
}

void OutputStream::put_stop_record(std::string_view text) {
  std::lock_guard guard(lock_);
  if (carriage_control_) {
    format::finish_console(buffer_, pending_line_end_);
    buffer_.append(text);
    pending_line_end_ = true;
  } else {
    buffer_.append(text).append("\r\n");
  }
}

void OutputStream::flush_locked() {
  if (buffer_.empty() || stream_ == platform::Stream::none || failed_)
    return;
  if (truncate_first_) {
    os_.truncate(stream_, 0);
    truncate_first_ = false;
  }
  if (!os_.write(stream_, buffer_))
    failed_ = true;
  buffer_.clear();
}

bool OutputStream::flush() {
  std::lock_guard guard(lock_);
  flush_locked();
  return !failed_;
}

bool OutputStream::close() {
  std::unique_lock guard(lock_, kCloseWait);
  if (!guard.owns_lock())
    return false;
  format::finish_console(buffer_, pending_line_end_);
  flush_locked();
  if (owned_ && stream_ != platform::Stream::none)
    os_.close(stream_);
  stream_ = platform::Stream::none;
  return !failed_;
}

void OutputStream::connect(platform::Stream stream, std::string name) {
  std::lock_guard guard(lock_);
  stream_ = stream;
  name_ = std::move(name);
  owned_ = true;
  truncate_first_ = true;
}

bool OutputStream::failed() {
  std::lock_guard guard(lock_);
  return failed_;
}

bool ConsoleInput::next_line(std::string_view &line) {
  // Counted from `start_`, which a refill may move when it compacts the buffer.
  std::size_t scanned = 0;
  for (;;) {
    const std::size_t nl = buffer_.find('\n', start_ + scanned);
    if (nl != std::string::npos)
      return hand_out(line, nl, nl + 1);
    scanned = buffer_.size() - start_;
    if (at_end_ || !fill()) {
      at_end_ = true;
      if (start_ == buffer_.size())
        return false;
      return hand_out(line, buffer_.size(), buffer_.size()); // last line, no line end
    }
  }
}

bool ConsoleInput::hand_out(std::string_view &line, std::size_t end, std::size_t next) {
  std::size_t len = end - start_;
  if (len > 0 && buffer_[start_ + len - 1] == '\r')
    --len;
  line = std::string_view(buffer_).substr(start_, len);
  start_ = next;
  return true;
}

bool ConsoleInput::fill() {
  if (start_ > 0 && start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ > buffer_.capacity() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  constexpr std::size_t chunk = 4096;
  const std::size_t old = buffer_.size();
  buffer_.resize(old + chunk);
  const platform::ReadResult got = os_.read(stream_, std::span(buffer_.data() + old, chunk));
  buffer_.resize(old + (got.ended ? 0 : got.count));
  return !got.ended && got.count > 0;
}

namespace {

// Ends the run if a write of `stream` failed.
void check(OutputStream &stream) {
  if (stream.failed())
    end_with_message(Message::write_failure, stream.unit());
}

} // namespace

void flush_before_read() {
  Session &s = session();
  (void)s.console.flush();
  (void)s.report.flush();
  check(s.console);
  check(s.report);
}

void write(Unit unit, format::Layout layout, std::span<const format::Value> values) {
  Session &s = session();
  OutputStream &stream = unit == Unit::console ? s.console : s.report;
  format::write_layout(layout, values, stream);
  check(stream);
}

void read(std::span<const format::ListItem> items) {
  flush_before_read();
  switch (format::read_list(session().input, items)) {
    case format::ReadError::none:
      return;
    case format::ReadError::syntax:
      end_with_message(Message::syntax_error, 5);
    case format::ReadError::conversion:
      end_with_message(Message::conversion_error, 5);
    case format::ReadError::end_of_input:
      end_with_message(Message::end_of_file, 5);
  }
}

void read_text(std::span<char> field) {
  flush_before_read();
  std::string_view line;
  if (!session().input.next_line(line))
    end_with_message(Message::end_of_file, 5);
  for (std::size_t i = 0; i < field.size(); ++i)
    field[i] = i < line.size() ? line[i] : ' ';
}

} // namespace kelvor::recordio
