// The run's three streams: console output (unit 6), the report file (unit 66)
// and console input (unit 5).
//
// Output records are collected whole in a buffer per stream and handed to the
// system in large writes. Every output stream has a lock that a record holds
// only while it is appended, so the console interrupt handler, which runs on its
// own thread, can take the locks, write out every completed record and end the
// process: a record is either in the file entirely or not at all.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "format/char_source.hpp"
#include "format/layout.hpp"
#include "recordio/platform.hpp"
#include "recordio/unit.hpp"

namespace kelvor::recordio {

class OutputStream final : public format::RecordSink {
public:
  OutputStream(platform::Platform &os, platform::Stream stream, Unit unit, std::string name,
               bool console);

  void put_record(std::string_view text, bool advance) override;

  // Raw text on the console, outside the record treatment (the layer's own
  // question for a missing file name).
  void put_raw(std::string_view text);

  // The record "Stop - Program terminated." that ends a normal run; on a
  // console it shows on a line of its own.
  void put_stop_record(std::string_view text);

  // Hands every buffered record to the system; false once a write has failed.
  bool flush();

  // Completes the stream: the owed console line end, every buffered record.
  // Whatever is appended afterwards goes nowhere. The lock is waited for a
  // bounded time only: the dialogue may be stuck in a write to a pipe that
  // nobody reads, and an interrupt must still end the run.
  bool close();

  // The run is ending: no record is started from now on, and on a console the
  // cursor goes to the start of a line (the owed line end, or one after a prompt
  // still open), so that the message shows on a line of its own and the close
  // owes nothing. Both streams are sealed together, so that no record reaches
  // one of them after the other has stopped taking records. Each lock is waited
  // for a bounded time only, as in close.
  static void seal(OutputStream &console, OutputStream &report);

  // Console input has echoed an answer: `line_ended` when its Enter brought the
  // cursor to the start of a line, false while it stands behind the typed text.
  void note_answer(bool line_ended);

  // Connects the report stream to the opened file; its old contents go at the
  // first record written.
  void connect(platform::Stream stream, std::string name);

  bool failed();
  // After a failed write: the system's text for why the report could not be cut
  // back to its last whole record, or nothing when the cut was made.
  std::string cut_failure();
  Unit unit() const { return unit_; }
  bool console() const { return carriage_control_; }
  const std::string &name() const { return name_; }

private:
  void flush_locked();
  void seal_locked();
  bool cut(std::uint64_t length);

  platform::Platform &os_;
  platform::Stream stream_;
  Unit unit_;
  std::string name_;
  bool carriage_control_;         // console record treatment: first character steers
  bool owned_ = false;            // the stream is the layer's to close (the report)
  bool pending_line_end_ = false; // console: the last record's line end is still owed
  bool truncate_first_ = false;   // report: old contents go at the first write
  bool failed_ = false;           // a write failed; the run ends at the next check
  bool sealed_ = false;           // the run is ending: records are no longer taken
  bool behind_text_ = false;      // console: the cursor stands behind a prompt or answer
  std::uint64_t whole_ = 0;       // report: bytes of whole records in the file
  std::string cut_failure_;       // report: why a cut was not made
  std::string buffer_;
  std::timed_mutex lock_;
  std::atomic<bool> stuck_{false}; // the lock was not had within the bounded wait
};

// The records of one write, formatted once and handed to several streams.
class RecordList final : public format::RecordSink {
public:
  void put_record(std::string_view text, bool advance) override;
  void clear();
  // Hands every record, in order, to `sink`.
  void replay(format::RecordSink &sink) const;

private:
  struct Record {
    std::size_t end; // offset in text_ just after the record
    bool advance;
  };
  std::string text_;
  std::vector<Record> records_;
};

// Console input, unit 5, taken a character at a time through a fixed buffer,
// so that a line of any length needs no more memory than a short one. The end
// of the input while the console hangs up is the window closing, not an end of
// input. A UTF-8 byte-order mark that opens the input is passed over.
class ConsoleInput final : public format::CharSource {
public:
  ConsoleInput(platform::Platform &os, platform::Stream stream, OutputStream &echo)
      : os_(os), stream_(stream), echo_(echo) {}

  int next_char() override;

  // Whether the input ended because it could not be read, and the system's text
  // for why.
  bool failed() const { return failed_; }
  const std::string &failure() const { return failure_; }

private:
  int take();
  bool fill();
  bool read_more();
  void skip_byte_order_mark();

  platform::Platform &os_;
  platform::Stream stream_;
  OutputStream &echo_; // the console that shows what is typed
  std::array<char, 4096> buffer_{};
  std::size_t start_ = 0; // first byte not yet taken
  std::size_t end_ = 0;
  bool started_ = false; // the first byte has been asked for
  bool at_end_ = false;
  bool failed_ = false;
  std::string failure_;
};

} // namespace kelvor::recordio
