// Whole dialogues with random answers, run inside the fuzzer's process on the
// in-memory platform of the tests.
//
// The input is the answers after the report-file name: the harness puts the line
// "out.txt" in front. Standard input is those lines; standard output holds 64 KiB
// as a pipe that nobody empties would, so a long table ends with message 38
// after some thousand rows, which is one of the expected endings. Properties:
// - the run ends by the stop (status 0, nothing on standard error, the console
//   output ends with the stop record) or by exactly one message line ending CR LF
//   whose number is the status: 24, 59, 64, or 38 for a console write that
//   failed;
// - the report file exists and holds whole records, each ended by CR LF;
// - no sanitizer report, no other exception, no hang.
// Inputs over 512 bytes are skipped; the smoke run uses -max_len=256 and
// -timeout=10.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dialogue/dialogue.hpp"
#include "fake_platform.hpp"
#include "recordio/session_testing.hpp"

namespace {

constexpr std::size_t kMaxInput = 512;
constexpr std::size_t kPipeCapacity = 1 << 16;

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

std::string expected_message(std::uint32_t status) {
  switch (status) {
    case 0xC0000018:
      return "vemtal: severe (24): end-of-file during read, unit 5, file CONIN$\r\n";
    case 0xC0000026:
      return "vemtal: severe (38): error during write, unit 6, file CONOUT$\r\n";
    case 0xC000003B:
      return "vemtal: severe (59): list-directed I/O syntax error, unit 5, file CONIN$\r\n";
    case 0xC0000040:
      return "vemtal: severe (64): input conversion error, unit 5, file CONIN$\r\n";
    default:
      return {};
  }
}

[[noreturn]] void fail(const char *what, std::uint32_t status, std::string_view errors) {
  std::fprintf(stderr, "%s (status 0x%X, standard error \"%.*s\")\n", what, status,
               static_cast<int>(errors.size()), errors.data());
  std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size > kMaxInput)
    return 0;
  kelvor::test::FakePlatform os;
  os.input = "out.txt\n";
  os.input.append(reinterpret_cast<const char *>(data), size);
  os.output.capacity = kPipeCapacity;
  kelvor::recordio::testing::begin_session(os);

  std::uint32_t status = 1;
  try {
    kelvor::dialogue::run();
  } catch (const kelvor::test::ProcessEnded &e) {
    status = e.status;
  }
  const std::string &errors = os.error.bytes;
  if (status == 0) {
    if (!errors.empty())
      fail("the stop wrote to standard error", status, errors);
    if (!os.output.bytes.ends_with("Stop - Program terminated.\r\n"))
      fail("the stop record is not the last console record", status, errors);
  } else if (errors != expected_message(status) || expected_message(status).empty()) {
    fail("the run did not end with exactly its one message", status, errors);
  }
  const auto report = os.files.find("out.txt");
  if (report == os.files.end())
    fail("no report file", status, errors);
  if (!whole_records(report->second.bytes))
    fail("the report file holds a broken record", status, errors);
  return 0;
}
