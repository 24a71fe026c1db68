// The three streams and the dialogue's writes and reads on them.
#include "recordio/streams.hpp"

#include "format/carriage_control.hpp"
#include "recordio/console_events.hpp"

namespace kelvor::recordio {
namespace {

constexpr std::size_t kFlushThreshold = 1 << 15;
constexpr std::chrono::seconds kCloseWait{2};

} // namespace

OutputStream::OutputStream(platform::Platform &os, platform::Stream stream, Unit unit,
                           std::string name, bool console)
    : os_(os), stream_(stream), unit_(unit), name_(std::move(name)), carriage_control_(console) {
  buffer_.reserve(2 * kFlushThreshold);
}

void OutputStream::put_record(std::string_view text, bool advance) {
  std::lock_guard guard(lock_);
  if (failed_ || sealed_)
    return;
  behind_text_ = carriage_control_ && !advance;
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
  behind_text_ = carriage_control_;
}

void OutputStream::note_answer(bool line_ended) {
  std::lock_guard guard(lock_);
  behind_text_ = carriage_control_ && !line_ended;
}

void OutputStream::seal_locked() {
  sealed_ = true;
  if (!carriage_control_)
    return;
  if (behind_text_)
    pending_line_end_ = true;
  behind_text_ = false;
  format::finish_console(buffer_, pending_line_end_);
  flush_locked();
}

void OutputStream::seal(OutputStream &console, OutputStream &report) {
  std::unique_lock console_guard(console.lock_, kCloseWait);
  std::unique_lock report_guard(report.lock_, kCloseWait);
  for (auto [stream, guard] : {std::pair{&console, &console_guard}, {&report, &report_guard}}) {
    if (guard->owns_lock())
      stream->seal_locked();
    else
      stream->stuck_ = true; // the close need not wait a second time
  }
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
  // A cut refused here would leave the tail of a longer old report after the
  // new records: nothing is written then, and the run ends.
  if (truncate_first_) {
    truncate_first_ = false;
    if (!cut(0)) {
      failed_ = true;
      buffer_.clear();
      return;
    }
  }
  if (os_.write(stream_, buffer_).done) {
    whole_ += buffer_.size();
  } else {
    failed_ = true;
    // The buffer holds whole records only; cut off what part of them went out,
    // so that the report ends on the last whole record.
    if (owned_)
      (void)cut(whole_);
  }
  buffer_.clear();
}

bool OutputStream::cut(std::uint64_t length) {
  platform::Outcome cut = os_.truncate(stream_, length);
  if (!cut.done)
    cut_failure_ = std::move(cut.reason);
  return cut.done;
}

bool OutputStream::flush() {
  std::lock_guard guard(lock_);
  flush_locked();
  return !failed_;
}

bool OutputStream::close() {
  std::unique_lock guard(lock_, std::defer_lock);
  if (stuck_ ? !guard.try_lock() : !guard.try_lock_for(kCloseWait))
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

std::string OutputStream::cut_failure() {
  std::lock_guard guard(lock_);
  return cut_failure_;
}

int ConsoleInput::take() {
  if (!started_) {
    started_ = true;
    skip_byte_order_mark();
  }
  if (start_ == end_ && !fill())
    return kEndOfInput;
  return static_cast<unsigned char>(buffer_[start_++]);
}

int ConsoleInput::next_char() {
  const int c = take();
  if (c != '\r')
    return c;
  // A CR that ends a line (before its LF, or at the end of the input) is not
  // part of the line.
  if (start_ == end_ && !fill())
    return kEndOfInput;
  if (buffer_[start_] != '\n')
    return c;
  ++start_;
  return kLineEnd;
}

bool ConsoleInput::fill() {
  start_ = 0;
  end_ = 0;
  return read_more();
}

bool ConsoleInput::read_more() {
  if (at_end_)
    return false;
  platform::ReadResult got = os_.read(stream_, std::span(buffer_).subspan(end_));
  if (got.ended || got.count == 0) {
    at_end_ = true;
    if (os_.console_hung_up())
      end_by_console_event(platform::ConsoleEvent::window_close);
    failed_ = got.failed;
    failure_ = std::move(got.reason);
    return false;
  }
  end_ += got.count;
  echo_.note_answer(buffer_[end_ - 1] == '\n');
  return true;
}

// An editor that saves the answers as UTF-8 may put a byte-order mark before
// them; it is no part of the first answer, and it says that the names typed are
// UTF-8. A pipe may hand it over in pieces.
void ConsoleInput::skip_byte_order_mark() {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  const auto held = [this] { return std::string_view(buffer_.data() + start_, end_ - start_); };
  while (held().size() < kMark.size() && kMark.starts_with(held()) && read_more()) {
  }
  if (held().starts_with(kMark)) {
    start_ += kMark.size();
    os_.input_is_utf8();
  }
}

void RecordList::put_record(std::string_view text, bool advance) {
  text_.append(text);
  records_.push_back({text_.size(), advance});
}

void RecordList::clear() {
  text_.clear();
  records_.clear();
}

void RecordList::replay(format::RecordSink &sink) const {
  std::size_t start = 0;
  for (const Record &r : records_) {
    sink.put_record(std::string_view(text_).substr(start, r.end - start), r.advance);
    start = r.end;
  }
}

} // namespace kelvor::recordio
