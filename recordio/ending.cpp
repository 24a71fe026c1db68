// Each end completes the streams, so that every record written before it is in
// the report, and ends the process with its exit status.
#include "recordio/ending.hpp"

#include <cstdlib>

#include "recordio/console_events.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {

void write_error_line(std::string_view line) {
  std::string text(line);
  text.append("\r\n");
  Session &s = session();
  (void)s.os.write(s.error, text);
}

void seal_streams() {
  OutputStream::seal(session().console, session().report);
}

bool close_streams() {
  const bool console_ok = session().console.close();
  const bool report_ok = session().report.close();
  return console_ok && report_ok;
}

void claim_the_end() {
  if (session().ending.exchange(true))
    session().os.wait_forever();
}

void end_severe(Message message, Unit unit, std::string_view system_text) {
  seal_streams();
  if (!system_text.empty())
    write_error_line(system_line(system_text));
  write_error_line(severe_line(message, unit, unit_name(unit)));
  (void)close_streams();
  session().os.exit(severe_status(message));
  std::abort(); // not reached: the platform's exit does not return
}

void end_at_input_end() {
  claim_the_end();
  const ConsoleInput &input = session().input;
  if (input.failed())
    end_severe(Message::read_failure, Unit::input, input.failure());
  end_severe(Message::end_of_file, Unit::input);
}

void end_if_failed(OutputStream &stream) {
  if (!stream.failed())
    return;
  if (stream.unit() == Unit::console && session().os.console_hung_up())
    end_by_console_event(platform::ConsoleEvent::window_close);
  claim_the_end();
  end_severe(Message::write_failure, stream.unit(), stream.cut_failure());
}

void flush_before_read() {
  Session &s = session();
  (void)s.console.flush();
  (void)s.report.flush();
  end_if_failed(s.console);
  end_if_failed(s.report);
}

} // namespace kelvor::recordio
