// kelvor.exe ended by a console event, end to end: the program runs on this
// test's console with its answers from a pipe, stops at a prompt, and the
// console's control-C reaches it. It must leave its message, a report of whole
// records, and the status that Windows gives a program ended by the event.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr DWORD kStatusControlCExit = 0xC000013Au;

std::string contents(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// This test's own handler keeps the events that it sends from ending it.
BOOL WINAPI keep_running(DWORD) {
  return TRUE;
}

// A console on which GenerateConsoleCtrlEvent works. A process started without
// one (Wine with no terminal) gets a fresh console of its own.
bool console_for_events() {
  SetConsoleCtrlHandler(keep_running, TRUE);
  if (GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0))
    return true;
  FreeConsole();
  return AllocConsole() && SetConsoleCtrlHandler(keep_running, TRUE) &&
         GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}

fs::path kelvor_exe() {
  wchar_t self[MAX_PATH + 1];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
  return fs::path(std::wstring(self, n)).parent_path() / L"kelvor.exe";
}

HANDLE inheritable_file(const fs::path &p) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
}

struct Outcome {
  DWORD status = 0;
  std::string errors;
  std::string report;
};

// A started kelvor.exe and the pipe that carries its answers.
struct Started {
  PROCESS_INFORMATION process{};
  HANDLE answers = nullptr;
};

// Starts `command` (kelvor.exe and its arguments) in `dir`, its standard output
// and error to files there, its answers from a pipe.
Started start_kelvor(const fs::path &dir, std::wstring command, const std::string &answers) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  Started run;
  HANDLE in_read = nullptr;
  EXPECT_TRUE(CreatePipe(&in_read, &run.answers, &sa, 0));
  SetHandleInformation(run.answers, HANDLE_FLAG_INHERIT, 0);
  const HANDLE out = inheritable_file(dir / "stdout");
  const HANDLE err = inheritable_file(dir / "stderr");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in_read;
  si.hStdOutput = out;
  si.hStdError = err;
  const std::wstring exe = kelvor_exe().wstring();
  EXPECT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             dir.c_str(), &si, &run.process));
  CloseHandle(in_read);
  CloseHandle(out);
  CloseHandle(err);
  DWORD written = 0;
  WriteFile(run.answers, answers.data(), static_cast<DWORD>(answers.size()), &written, nullptr);
  return run;
}

// Waits for the run's end and collects what it leaves, `report` among it.
Outcome finish(const fs::path &dir, Started &run, const fs::path &report) {
  Outcome end;
  if (WaitForSingleObject(run.process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(run.process.hProcess, 1);
  GetExitCodeProcess(run.process.hProcess, &end.status);
  CloseHandle(run.answers);
  CloseHandle(run.process.hThread);
  CloseHandle(run.process.hProcess);
  end.errors = contents(dir / "stderr");
  end.report = contents(dir / report);
  return end;
}

fs::path scratch_folder(const char *purpose) {
  const fs::path dir = fs::temp_directory_path() / (std::string("kelvor-") + purpose + "-" +
                                                    std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);
  return dir;
}

// Starts kelvor.exe in `dir`, answers up to the phase-deviation question, sends
// `event` once the question shows, and collects what the run leaves.
Outcome interrupted_run(const fs::path &dir, DWORD event) {
  Started run = start_kelvor(dir, L"kelvor.exe", "out.txt\n2\n10,30\n10\n");
  for (int i = 0; i < 200 && contents(dir / "stdout").find("Start,Stop,Step") == std::string::npos;
       ++i)
    Sleep(50);
  EXPECT_TRUE(GenerateConsoleCtrlEvent(event, 0));
  return finish(dir, run, "out.txt");
}

// Wine generates only control-C; control-BREAK and window-CLOSE are covered by
// the handler's tests through the platform seam.
TEST(ConsoleEvent, ControlCEndsTheRunWithItsStatus) {
  ASSERT_TRUE(console_for_events());
  const fs::path dir = scratch_folder("event");
  const Outcome run = interrupted_run(dir, CTRL_C_EVENT);
  EXPECT_EQ(run.status, kStatusControlCExit);
  EXPECT_EQ(run.errors, "vemtal: error (200): program aborting due to control-C event\r\n");
  EXPECT_NE(run.report.find("Design Beamwidth"), std::string::npos);
  EXPECT_TRUE(run.report.ends_with("\r\n"));
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// A blank name line takes the argument as the command line holds it, in UTF-16
// (the C runtime's ANSI arguments cannot hold a Greek name in a Western code
// page), split by the system's rules for quotes.
TEST(CommandLine, ArgumentNamesTheReportExactly) {
  const fs::path dir = scratch_folder("argument");
  const std::wstring names[] = {L"\u03ba\u03ad\u03c1\u03b1\u03c2.txt", L"r\u00e9sum\u00e9 two.txt"};
  for (const std::wstring &name : names) {
    Started run = start_kelvor(dir, L"kelvor.exe \"" + name + L"\" other.txt", "\n2\n0,0\n");
    const Outcome end = finish(dir, run, name);
    EXPECT_EQ(end.status, 0u);
    EXPECT_EQ(end.errors, "");
    EXPECT_TRUE(fs::exists(dir / name));
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

} // namespace
