// The run's session and the start-up that makes it.
#include "recordio/session.hpp"

#include <cfenv>
#include <optional>

#include "recordio/record_io.hpp"
#include "recordio/session_testing.hpp"

namespace kelvor::recordio {
namespace {

// One session a process. It is made before the console event thread starts and
// replaced only by test harnesses, which start no such thread.
std::optional<Session> g_session;

} // namespace

Session::Session(platform::Platform &platform, std::span<char *const> args)
    : os(platform),
      console(platform, platform.standard(platform::Standard::output), 6, std::string(kOutputName),
              platform.is_console(platform.standard(platform::Standard::output))),
      report(platform, platform::Stream::none, 66, {}, false),
      input(platform, platform.standard(platform::Standard::input), console),
      error(platform.standard(platform::Standard::error)), arguments(args) {}

Session &session() {
  return *g_session;
}

void make_session(platform::Platform &os, std::span<char *const> arguments) {
  g_session.emplace(os, arguments);
}

void testing::begin_session(platform::Platform &os, std::span<char *const> arguments) {
  make_session(os, arguments);
}

void start_up(int argc, char **argv) {
  platform::Platform &os = platform::native();
  os.prepare_process();
  make_session(os, os.arguments(argc, argv));
  watch_console_events();
}

} // namespace kelvor::recordio
