// The dialogue's operations on the record layer, each a few steps over the
// session's streams.
#include "recordio/record_io.hpp"

#include <cstdlib>
#include <string>

#include "format/text_field.hpp"
#include "recordio/console_events.hpp"
#include "recordio/ending.hpp"
#include "recordio/report_name.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {
namespace {

constexpr std::string_view kStopText = "Stop - Program terminated.";

std::span<char *const> arguments_after_name(int argc, char **argv) {
  if (argc <= 1 || argv == nullptr)
    return {};
  return {argv + 1, static_cast<std::size_t>(argc - 1)};
}

OutputStream &stream_of(Unit unit) {
  return unit == Unit::console ? session().console : session().report;
}

} // namespace

void start_up(int argc, char **argv) {
  platform::Platform &os = platform::native();
  os.prepare_process();
  make_session(os, arguments_after_name(argc, argv));
  watch_console_events();
}

void write(Unit unit, format::Layout layout, std::span<const format::Value> values) {
  OutputStream &stream = stream_of(unit);
  format::write_layout(layout, values, stream, session().record);
  end_if_failed(stream);
}

void write_both(Unit first, format::Layout layout, std::span<const format::Value> values) {
  Session &s = session();
  s.both.clear();
  format::write_layout(layout, values, s.both, s.record);
  OutputStream &one = stream_of(first);
  OutputStream &other = &one == &s.console ? s.report : s.console;
  s.both.replay(one);
  end_if_failed(one);
  s.both.replay(other);
  end_if_failed(other);
}

void read(std::span<const format::ListItem> items) {
  flush_before_read();
  switch (format::read_list(session().input, items)) {
    case format::ReadError::none:
      return;
    case format::ReadError::syntax:
      end_with_message(Message::syntax_error, Unit::input);
    case format::ReadError::conversion:
      end_with_message(Message::conversion_error, Unit::input);
    case format::ReadError::end_of_input:
      end_at_input_end();
  }
}

void read_text(std::span<char> field) {
  flush_before_read();
  if (!format::read_text_field(session().input, field))
    end_at_input_end();
}

void open_report(std::string_view typed) {
  const std::string name = report_name(typed);
  Session &s = session();
  platform::OpenResult opened;
  if (name.find('\0') == std::string::npos)
    opened = s.os.open_report(name);
  else
    opened.refusal = Message::bad_file_name; // no system takes a name with a NUL in it
  if (opened.stream == platform::Stream::none) {
    s.report.connect(platform::Stream::none, name);
    claim_the_end();
    const bool other_reason = opened.refusal == Message::open_failure;
    end_severe(opened.refusal, Unit::report, other_reason ? opened.description : "");
  }
  s.report.connect(opened.stream, name);
}

void stop() {
  claim_the_end();
  Session &s = session();
  s.console.put_stop_record(kStopText);
  const bool console_ok = s.console.flush();
  const bool report_ok = s.report.flush();
  if (!console_ok || !report_ok) {
    OutputStream &failed = console_ok ? s.report : s.console;
    end_severe(Message::write_failure, failed.unit(), failed.cut_failure());
  }
  (void)close_streams();
  s.os.exit(0);
  std::abort(); // not reached: the platform's exit does not return
}

void end_with_message(Message message, Unit unit) {
  claim_the_end();
  end_severe(message, unit);
}

} // namespace kelvor::recordio
