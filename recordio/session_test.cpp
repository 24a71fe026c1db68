// The ways a run ends, on a fake platform: every open refusal, a full disk, a
// closed pipe, short writes, the end of input, a malformed answer and the
// console events. Each row runs a miniature dialogue and compares the exit
// status, standard error and the report whole.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "fake_platform.hpp"
#include "recordio/record_io.hpp"
#include "recordio/session_testing.hpp"

namespace kelvor::recordio {
namespace {

using format::end_of_layout;
using format::fw;
using format::Item;
using format::lit;
using format::no_advance;
using platform::ConsoleEvent;
using platform::OpenResult;
using test::FakePlatform;
using test::ProcessEnded;

constexpr Item kPrompt[] = {lit(" Answer "), no_advance(), end_of_layout()};
constexpr Item kRow[] = {lit(" row"), fw(6, 1), end_of_layout()};

// A run in miniature: the name read and the report opened, a row to the report
// and the console, an answer read, a second row to the report, the stop.
void miniature_run() {
  std::array<char, 20> name{};
  read_text(name);
  open_report(std::string_view(name.data(), name.size()));
  const format::Value one[] = {format::real(1.0f)};
  write(Unit::report, kRow, one);
  write(Unit::console, kRow, one);
  write(Unit::console, kPrompt);
  float answer = 0.0f;
  const format::ListItem item{&answer, nullptr};
  read({&item, 1});
  const format::Value got[] = {format::real(answer)};
  write(Unit::report, kRow, got);
  stop();
}

// Runs the miniature dialogue to its end and returns the exit status.
std::uint32_t status_of_run() {
  try {
    miniature_run();
  } catch (const ProcessEnded &e) {
    return e.status;
  }
  return 1; // not reached: a run always ends the process
}

struct Case {
  const char *label;
  std::string input;
  std::function<void(FakePlatform &)> setup;
  std::uint32_t status;
  std::string errors;
  std::string report; // r.txt afterwards
};

const Case kCases[] = {
    {"normal_stop", "r.txt\n2\n", {}, 0, "", " row   1.0\r\n row   2.0\r\n"},
    {"cr_of_answer_dropped", "r.txt\r\n2\r\n", {}, 0, "", " row   1.0\r\n row   2.0\r\n"},
    {"cr_ending_the_name_dropped", "r.txt\r\r\n2\n", {}, 0, "", " row   1.0\r\n row   2.0\r\n"},
    {"byte_order_mark_in_pieces", "\xEF\xBB\xBFr.txt\n2\n",
     [](FakePlatform &p) { p.read_chunk = 1; }, 0, "", " row   1.0\r\n row   2.0\r\n"},
    {"input_unreadable", "r.txt\n", [](FakePlatform &p) { p.read_fails = true; }, 0xC0000027,
     "vemtal: Input/output error\r\nvemtal: severe (39): error during read, unit 5, file "
     "CONIN$\r\n",
     " row   1.0\r\n"},
    {"old_report_not_cut", "r.txt\n2\n", [](FakePlatform &p) { p.files["r.txt"].cuts_allowed = 0; },
     0xC0000026,
     "vemtal: Operation not permitted\r\nvemtal: severe (38): error during write, unit 66, file "
     "r.txt\r\n",
     ""},
    {"part_record_not_cut", "r.txt\n2\n",
     [](FakePlatform &p) {
       p.files["r.txt"].capacity = 5;
       p.files["r.txt"].cuts_allowed = 1;
     },
     0xC0000026,
     "vemtal: Operation not permitted\r\nvemtal: severe (38): error during write, unit 66, file "
     "r.txt\r\n",
     " row "},
    {"end_of_input",
     "r.txt\n",
     {},
     0xC0000018,
     "vemtal: severe (24): end-of-file during read, unit 5, file CONIN$\r\n",
     " row   1.0\r\n"},
    {"malformed_answer",
     "r.txt\n1.2.3\n",
     {},
     0xC000003B,
     "vemtal: severe (59): list-directed I/O syntax error, unit 5, file CONIN$\r\n",
     " row   1.0\r\n"},
    {"report_full_before_read", "r.txt\n2\n",
     [](FakePlatform &p) { p.files["r.txt"].capacity = 5; }, 0xC0000026,
     "vemtal: severe (38): error during write, unit 66, file r.txt\r\n", ""},
    {"report_full_at_stop", "r.txt\n2\n", [](FakePlatform &p) { p.files["r.txt"].capacity = 14; },
     0xC0000026, "vemtal: severe (38): error during write, unit 66, file r.txt\r\n",
     " row   1.0\r\n"},
    {"console_pipe_closed", "r.txt\n2\n", [](FakePlatform &p) { p.output.capacity = 0; },
     0xC0000026, "vemtal: severe (38): error during write, unit 6, file CONOUT$\r\n",
     " row   1.0\r\n"},
    {"console_full_at_stop", "r.txt\n2\n", [](FakePlatform &p) { p.output.capacity = 20; },
     0xC0000026, "vemtal: severe (38): error during write, unit 6, file CONOUT$\r\n",
     " row   1.0\r\n row   2.0\r\n"},
};

void PrintTo(const Case &c, std::ostream *os) {
  *os << c.label;
}

class Ending : public ::testing::TestWithParam<Case> {};

TEST_P(Ending, StatusMessageAndReport) {
  const Case &c = GetParam();
  FakePlatform os;
  os.input = c.input;
  if (c.setup)
    c.setup(os);
  testing::begin_session(os);
  EXPECT_EQ(status_of_run(), c.status);
  EXPECT_EQ(os.error.bytes, c.errors);
  EXPECT_EQ(os.files["r.txt"].bytes, c.report);
}

INSTANTIATE_TEST_SUITE_P(Runs, Ending, ::testing::ValuesIn(kCases),
                         [](const auto &row) { return std::string(row.param.label); });

// A CR LF split between two fills of the input buffer still ends the line: the
// CR is no part of it.
TEST(ConsoleInput, LineEndSplitBetweenReads) {
  FakePlatform os;
  os.input = "r.txt\r\nx\r\n";
  os.read_chunk = 6;
  testing::begin_session(os);
  std::array<char, 8> field{};
  read_text(field);
  EXPECT_EQ(std::string(field.data(), field.size()), "r.txt   ");
  read_text(field);
  EXPECT_EQ(std::string(field.data(), field.size()), "x       ");
}

// Every refusal of the open selects its message; only the "other" reason is
// preceded by the system's own text.
TEST(OpenRefusal, EachReasonGivesItsMessage) {
  struct Row {
    Message refusal;
    std::string errors;
  };
  const Row rows[] = {
      {Message::file_not_found, "vemtal: severe (602): file not found\r\n"},
      {Message::too_many_open_files, "vemtal: severe (603): too many open files\r\n"},
      {Message::access_denied, "vemtal: severe (600): access not allowed\r\n"},
      {Message::file_exists, "vemtal: severe (601): file already exists\r\n"},
      {Message::no_such_device, "vemtal: severe (42): no such device, unit 66, file r.txt\r\n"},
      {Message::bad_file_name,
       "vemtal: severe (43): file name specification error, unit 66, file r.txt\r\n"},
      {Message::open_failure,
       "vemtal: Sharing violation\r\nvemtal: severe (30): open failure, unit 66, file r.txt\r\n"},
  };
  for (const Row &row : rows) {
    FakePlatform os;
    os.input = "  r.txt  \n";
    os.refusals["r.txt"] = OpenResult{platform::Stream::none, row.refusal, "Sharing violation"};
    testing::begin_session(os);
    EXPECT_EQ(status_of_run(), severe_status(row.refusal)) << row.errors;
    EXPECT_EQ(os.error.bytes, row.errors);
    EXPECT_EQ(os.files.count("r.txt"), 0u);
  }
}

// A console event ends the run with its message after every completed record;
// the report is closed whole.
TEST(ConsoleEvent, MessageAndWholeReport) {
  const std::pair<ConsoleEvent, const char *> events[] = {
      {ConsoleEvent::control_c, "control-C"},
      {ConsoleEvent::control_break, "control-BREAK"},
      {ConsoleEvent::window_close, "window-CLOSE"}};
  for (const auto &[event, name] : events) {
    FakePlatform os;
    os.input = "r.txt\n";
    testing::begin_session(os);
    std::array<char, 20> field{};
    read_text(field);
    open_report(std::string_view(field.data(), field.size()));
    const format::Value one[] = {format::real(1.0f)};
    write(Unit::report, kRow, one);
    try {
      testing::deliver_console_event(event);
    } catch (const ProcessEnded &e) {
      EXPECT_EQ(e.event, event);
    }
    EXPECT_EQ(os.error.bytes,
              std::string("vemtal: error (200): program aborting due to ") + name + " event\r\n");
    EXPECT_EQ(os.files["r.txt"].bytes, " row   1.0\r\n");
    EXPECT_TRUE(os.files["r.txt"].closed);
  }
}

} // namespace
} // namespace kelvor::recordio
