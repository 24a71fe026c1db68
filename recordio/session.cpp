#include "recordio/session.hpp"

#include <optional>

namespace kelvor::recordio {
namespace {

// One session a process. It is made before the console event thread starts and
// replaced only by test harnesses, which start no such thread.
std::optional<Session> g_session;

constexpr std::string_view kInputName = "CONIN$";
constexpr std::string_view kOutputName = "CONOUT$";

} // namespace

Session::Session(platform::Platform &platform, std::span<char *const> args)
    : os(platform), console(platform, platform.standard(platform::Standard::output), Unit::console,
                            std::string(kOutputName),
                            platform.is_console(platform.standard(platform::Standard::output))),
      report(platform, platform::Stream::none, Unit::report, {}, false),
      input(platform, platform.standard(platform::Standard::input), console),
      error(platform.standard(platform::Standard::error)), arguments(args) {}

Session &session() {
  return *g_session;
}

void make_session(platform::Platform &os, std::span<char *const> arguments) {
  g_session.emplace(os, arguments);
}

std::string_view unit_name(Unit unit) {
  switch (unit) {
    case Unit::input:
      return kInputName;
    case Unit::console:
      return kOutputName;
    case Unit::report:
      break;
  }
  return session().report.name();
}

} // namespace kelvor::recordio
