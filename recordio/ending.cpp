// How a run ends: the normal stop and the severe messages. Each completes the
// streams, so that every record written before the end is in the report, and
// ends the process with its exit status.
#include <cstdlib>

#include "recordio/record_io.hpp"
#include "recordio/session.hpp"

namespace kelvor::recordio {
namespace {

constexpr std::string_view kStopText = "Stop - Program terminated.";

std::string_view unit_name(int unit) {
  if (unit == 5)
    return kInputName;
  if (unit == 6)
    return kOutputName;
  return session().report.name();
}

// A platform's exit does not return; the abort only tells the compiler so,
// which it cannot see through the virtual call.
[[noreturn]] void end_process(std::uint32_t status) {
  session().os.exit(status);
  std::abort();
}

} // namespace

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

void end_severe(Message message, int unit) {
  seal_streams();
  write_error_line(severe_line(message, unit, unit_name(unit)));
  (void)close_streams();
  end_process(severe_status(message));
}

void end_with_message(Message message, int unit) {
  claim_the_end();
  end_severe(message, unit);
}

void stop() {
  claim_the_end();
  Session &s = session();
  s.console.put_stop_record(kStopText);
  const bool console_ok = s.console.flush();
  const bool report_ok = s.report.flush();
  if (!console_ok || !report_ok)
    end_severe(Message::write_failure, console_ok ? 66 : 6);
  (void)close_streams();
  end_process(0);
}

} // namespace kelvor::recordio
