// Whole dialogues with random answers, run inside the fuzzer's process.
//
// The input is the answers after the report-file name: the harness puts the line
// "out.txt" in front, so that every run writes its report into the harness's
// private directory (made once under $TMPDIR; the harness enters it for each run
// and goes back afterwards, so that libFuzzer's relative paths keep working). Standard
// input is a file holding those lines, standard error a file, and standard
// output a non-blocking pipe that is emptied after each run. Properties:
// - the run ends by the stop (status 0, nothing on standard error, the console
//   output ends with the stop record) or by exactly one message line ending CR LF
//   whose number is the status: 24, 59, 64, or 38 for a console write that
//   failed;
// - the report file exists and holds whole records, each ended by CR LF;
// - no sanitizer report, no other exception, no hang.
// Bounding the work: a table of millions of rows would make one input take
// minutes. The console pipe holds 64 KiB, so a long table ends with message 38
// after some thousand rows, which is one of the expected endings. Inputs over
// 512 bytes are skipped; the smoke run uses -max_len=256 and -timeout=10.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dialogue/dialogue.hpp"
#include "recordio/record_io.hpp"

namespace {

constexpr std::size_t kMaxInput = 512;

struct RunEnded {
  int status;
};

[[noreturn]] void throw_status(int status) {
  throw RunEnded{status};
}

std::string g_directory;
int g_private_dir = -1;
int g_caller_dir = -1;
int g_console_read = -1;
int g_console_write = -1;

std::string read_all(int fd) {
  std::string text;
  char buf[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buf, sizeof buf);
    if (got <= 0)
      return text;
    text.append(buf, static_cast<std::size_t>(got));
  }
}

std::string read_file(const char *name) {
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return {};
  std::string text = read_all(fd);
  ::close(fd);
  return text;
}

bool write_file(const char *name, std::string_view text) {
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

// Every LF ends a record and follows a CR, every CR precedes an LF, and the text
// ends with a record end.
bool whole_records(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
      return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
      return false;
  }
  return text.empty() || text.ends_with("\r\n");
}

std::string expected_message(int status) {
  switch (status) {
    case 24:
      return "vemtal: severe (24): end-of-file during read, unit 5, file CONIN$\r\n";
    case 38:
      return "vemtal: severe (38): error during write, unit 6, file CONOUT$\r\n";
    case 59:
      return "vemtal: severe (59): list-directed I/O syntax error, unit 5, file CONIN$\r\n";
    case 64:
      return "vemtal: severe (64): input conversion error, unit 5, file CONIN$\r\n";
    default:
      return {};
  }
}

[[noreturn]] void fail(const char *what, int status, std::string_view errors) {
  std::fprintf(stderr, "%s (status %d, standard error \"%.*s\")\n", what, status,
               static_cast<int>(errors.size()), errors.data());
  std::abort();
}

void remove_directory() {
  for (const char *name : {"out.txt", "answers", "errors"})
    ::unlinkat(g_private_dir, name, 0);
  ::rmdir(g_directory.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kelvor-fuzz-dialogue-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("fuzz_dialogue: private directory");
    std::exit(1);
  }
  g_directory = pattern;
  g_private_dir = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  g_caller_dir = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (g_private_dir < 0 || g_caller_dir < 0) {
    std::perror("fuzz_dialogue: directories");
    std::exit(1);
  }
  std::atexit(remove_directory);
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    std::perror("fuzz_dialogue: pipe");
    std::exit(1);
  }
  g_console_read = fds[0];
  g_console_write = fds[1];
  std::signal(SIGPIPE, SIG_IGN);
  kelvor::recordio::set_exit_hook(throw_status);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size > kMaxInput)
    return 0;
  std::string answers = "out.txt\n";
  answers.append(reinterpret_cast<const char *>(data), size);
  if (::fchdir(g_private_dir) != 0) {
    std::perror("fuzz_dialogue: enter the private directory");
    std::abort();
  }
  ::unlink("out.txt");
  if (!write_file("answers", answers) || !write_file("errors", "")) {
    std::perror("fuzz_dialogue: harness files");
    std::abort();
  }
  const int input = ::open("answers", O_RDONLY | O_CLOEXEC);
  const int errors_fd = ::open("errors", O_WRONLY | O_APPEND | O_CLOEXEC);
  const int console = ::dup(g_console_write); // the layer closes it at the end of the run
  if (input < 0 || errors_fd < 0 || console < 0) {
    std::perror("fuzz_dialogue: descriptors");
    std::abort();
  }
  kelvor::recordio::set_descriptors(input, console, errors_fd, false);

  int status = -1;
  try {
    kelvor::dialogue::run();
  } catch (const RunEnded &e) {
    status = e.status;
  }
  ::close(input);
  ::close(errors_fd);
  const std::string console_text = read_all(g_console_read);
  const std::string errors = read_file("errors");
  const std::string report = read_file("out.txt");
  const bool has_report = ::access("out.txt", F_OK) == 0;
  if (::fchdir(g_caller_dir) != 0) {
    std::perror("fuzz_dialogue: leave the private directory");
    std::abort();
  }

  if (status == 0) {
    if (!errors.empty())
      fail("the stop wrote to standard error", status, errors);
    if (!console_text.ends_with("Stop - Program terminated.\r\n"))
      fail("the stop record is not the last console record", status, errors);
  } else if (errors != expected_message(status) || expected_message(status).empty()) {
    fail("the run did not end with exactly its one message", status, errors);
  }
  if (!has_report)
    fail("no report file", status, errors);
  if (!whole_records(report))
    fail("the report file holds a broken record", status, errors);
  return 0;
}
