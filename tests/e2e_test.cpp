// Whole dialogues, compared byte for byte. Each folder under cases/ holds
//   stdin     the answers typed
//   args      optional: command-line arguments, one a line
//   before    optional: the contents of out.txt before the run
//   stdout, stderr, status   what the run must leave on its streams and exit status
//   report    the contents of out.txt after the run (absent: no such file)
//   report_name  optional: the report's file name on disk, if not out.txt
// Where a system rightly differs (its own error text, its own file names), the
// case holds the alternative as name.<system>, used when KELVOR_SYSTEM is
// <system> (win32 for kelvor.exe under Wine).
// KELVOR_REGENERATE=1 writes what the program does into the folders instead, for a
// human to read and check against the expected values before committing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <tuple>
#include <unistd.h>

#include "process.hpp"

namespace kelvor::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : text) {
    if (c != '\n') {
      cur.push_back(c);
      continue;
    }
    lines.push_back(cur);
    cur.clear();
  }
  if (!cur.empty())
    lines.push_back(cur);
  return lines;
}

// The case file `name`, or its alternative for the system under test.
fs::path expected(const fs::path &c, const std::string &name) {
  const char *system = std::getenv("KELVOR_SYSTEM");
  if (system != nullptr && *system && fs::exists(c / (name + "." + system)))
    return c / (name + "." + system);
  return c / name;
}

class Dialogue : public ::testing::TestWithParam<std::string> {};

TEST_P(Dialogue, MatchesByteForByte) {
  const fs::path c = fs::path(KELVOR_CASES) / GetParam();
  const fs::path dir = fresh_directory();
  if (fs::exists(c / "before"))
    fs::copy_file(c / "before", dir / "out.txt");
  std::vector<std::string> args;
  if (fs::exists(c / "args"))
    args = lines_of(read_file(c / "args"));
  const Outcome o = run_program(dir, read_file(c / "stdin"), args);
  std::string report_name = "out.txt";
  if (fs::exists(expected(c, "report_name")))
    report_name = lines_of(read_file(expected(c, "report_name"))).at(0);
  const bool has_report = fs::exists(dir / report_name);
  const std::string report = has_report ? read_file(dir / report_name) : "";
  if (std::getenv("KELVOR_REGENERATE") != nullptr) {
    write_file(c / "stdout", o.out);
    write_file(c / "stderr", o.err);
    write_file(c / "status", std::to_string(o.status) + "\n");
    if (has_report)
      write_file(c / "report", report);
    else
      fs::remove(c / "report");
  } else {
    EXPECT_EQ(o.out, read_file(expected(c, "stdout")));
    EXPECT_EQ(o.err, read_file(expected(c, "stderr")));
    EXPECT_EQ(std::to_string(o.status) + "\n", read_file(expected(c, "status")));
    EXPECT_EQ(has_report, fs::exists(c / "report"));
    if (has_report) {
      EXPECT_EQ(report, read_file(c / "report"));
    }
  }
  fs::remove_all(dir);
}

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto &e : fs::directory_iterator(KELVOR_CASES))
    if (e.is_directory())
      names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, Dialogue, ::testing::ValuesIn(case_names()),
                         [](const auto &param_info) {
                           std::string n = param_info.param;
                           for (char &ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch)))
                               ch = '_';
                           return n;
                         });

// --version and --help alone print and end the run: nothing read, no file made; 1 when
// the text cannot be written.
TEST(CommandLine, VersionAndHelpAlone) {
  const std::tuple<const char *, std::string, long> rows[] = {
      {"--version", "kelvor " KELVOR_VERSION "\n", 1},
      {"--help", "Usage: kelvor [REPORT-FILE]\n       kelvor --version | --help\n", 12}};
  for (const auto &[argument, start, lines] : rows) {
    const fs::path dir = fresh_directory();
    const Outcome o = run_program(dir, "out.txt\n2\n", {argument});
    std::string out = o.out;
    std::erase(out, '\r');
    EXPECT_EQ(out.substr(0, start.size()), start) << argument;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), lines) << argument;
    EXPECT_EQ(o.status, 0) << argument;
    EXPECT_TRUE(fs::is_empty(dir)) << argument;
    fs::remove_all(dir);
  }
  if (std::getenv("KELVOR_SYSTEM") == nullptr) {
    EXPECT_EQ(std::system(KELVOR_BINARY " --version >/dev/full"), 1 << 8);
  }
}

// A report name that is a Unix socket: the open's ENXIO is a device that is not
// there. A socket is a POSIX file; Wine has no such refusal to give.
TEST(Refusal, SocketIsNoSuchDevice) {
  if (std::getenv("KELVOR_SYSTEM") != nullptr)
    GTEST_SKIP();
  const fs::path dir = fresh_directory();
  sockaddr_un at{};
  at.sun_family = AF_UNIX;
  (dir / "sock").string().copy(at.sun_path, sizeof at.sun_path - 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr *>(&at), sizeof at), 0);
  const Outcome o = run_program(dir, "sock\n");
  close(fd);
  EXPECT_EQ(o.err, "vemtal: severe (42): no such device, unit 66, file sock\r\n");
  EXPECT_EQ(o.status, 42);
  fs::remove_all(dir);
}

} // namespace
} // namespace kelvor::test
