// The record layer's operating-system services on Windows. A stream is a
// HANDLE; the console events arrive through a console control handler, which
// the system runs on a thread of its own; the exit status is the full 32-bit
// value that a Windows parent sees.
//
// Text crossing the system boundary: a line typed at a console is read as the
// console holds it, in UTF-16 (so that every letter typed arrives, whatever the
// console's code page), and handed on in UTF-8. Redirected input (a file or pipe
// written by a Windows program) is in the ANSI code page, unless it starts with
// a UTF-8 byte-order mark (which the input stream passes over): then UTF-8. A
// typed report name is widened to UTF-16 from the encoding of its input, so
// that a name with non-ASCII letters creates exactly that file.
// The command line is read as the system holds it, in UTF-16, and its
// arguments are kept in UTF-8: the C runtime's own arguments are in the ANSI
// code page, which cannot hold every name. Text for standard error (the
// system's reason for an open failure and the report name in a message) goes
// into the console's output code page when standard error is a console and the
// ANSI code page otherwise.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cfenv>
#include <cstring>
#include <float.h>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "recordio/platform.hpp"

namespace kelvor::recordio::platform {
namespace {

// What Windows reports for a program ended by a console event.
constexpr DWORD kStatusControlCExit = 0xC000013Au;

HANDLE handle_of(Stream s) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(s));
}

Stream stream_of(HANDLE h) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE)
    return Stream::none;
  return Stream{reinterpret_cast<std::intptr_t>(h)};
}

bool is_console_handle(HANDLE h) {
  DWORD mode = 0;
  return GetConsoleMode(h, &mode) != 0;
}

// Win32 error codes grouped by the message that each selects, as the POSIX
// side groups errno values. A sharing violation (the report still open in
// another program) is deliberately absent: it gets message 30 with the
// system's own text, which says what is wrong.
// ERROR_NO_SUCH_DEVICE, a device that does not exist: missing from
// mingw-w64's winerror.h.
constexpr DWORD kErrorNoSuchDevice = 433;

struct Refusal {
  DWORD error;
  Message message;
};

constexpr Refusal kRefusals[] = {
    {ERROR_FILE_NOT_FOUND, Message::file_not_found},
    {ERROR_PATH_NOT_FOUND, Message::file_not_found},
    {ERROR_ACCESS_DENIED, Message::access_denied},
    {ERROR_WRITE_PROTECT, Message::access_denied},
    {ERROR_FILE_EXISTS, Message::file_exists},
    {ERROR_ALREADY_EXISTS, Message::file_exists},
    {ERROR_TOO_MANY_OPEN_FILES, Message::too_many_open_files},
    {ERROR_INVALID_NAME, Message::bad_file_name},
    {ERROR_FILENAME_EXCED_RANGE, Message::bad_file_name},
    {ERROR_BAD_PATHNAME, Message::bad_file_name},
    {ERROR_BAD_UNIT, Message::no_such_device},
    {ERROR_NOT_READY, Message::no_such_device},
    {ERROR_DEV_NOT_EXIST, Message::no_such_device},
    {ERROR_INVALID_DRIVE, Message::no_such_device},
    {kErrorNoSuchDevice, Message::no_such_device},
};

Message refusal_of(DWORD error) {
  for (const Refusal &r : kRefusals)
    if (r.error == error)
      return r.message;
  return Message::open_failure;
}

// No Windows file system holds a name component longer than this many UTF-16
// units. Some systems (Wine among them) report such a name as not found; the
// true reason is the name itself.
constexpr std::size_t kMaxComponent = 255;

bool has_overlong_component(std::wstring_view path) {
  std::size_t run = 0;
  for (const wchar_t c : path) {
    run = c == L'\\' || c == L'/' ? 0 : run + 1;
    if (run > kMaxComponent)
      return true;
  }
  return false;
}

// Console reads take at most this many UTF-16 units at a time (a longer line comes
// in pieces).
constexpr DWORD kConsoleChunk = 1024;

// The code page in which standard error shows its text.
UINT error_code_page() {
  return is_console_handle(GetStdHandle(STD_ERROR_HANDLE)) ? GetConsoleOutputCP() : GetACP();
}

// `bytes` in code page `page` as UTF-16; false when they are not text in it.
bool widen(std::string_view bytes, UINT page, std::wstring &wide) {
  wide.clear();
  if (bytes.empty())
    return true;
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return false;
  const int length = static_cast<int>(bytes.size());
  const int needed =
      MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (needed <= 0)
    return false;
  wide.resize(static_cast<std::size_t>(needed));
  return MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(),
                             needed) == needed;
}

std::string narrow(std::wstring_view wide, UINT page) {
  if (wide.empty() || wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return {};
  const int length = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(page, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0)
    return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(page, 0, wide.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

// The system's own text for `error`, on one line: FormatMessage ends it with a
// line end, which the message line supplies itself.
std::string describe(DWORD error) {
  wchar_t *text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
  std::wstring_view wide(text, text == nullptr ? 0 : length);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
    wide.remove_suffix(1);
  std::string bytes = narrow(wide, error_code_page());
  LocalFree(text);
  if (bytes.empty())
    bytes = "Windows error " + std::to_string(error);
  return bytes;
}

// The handler's target: set once before the handler is registered.
void (*g_on_event)(ConsoleEvent) = nullptr;

BOOL WINAPI console_control_handler(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
      g_on_event(ConsoleEvent::control_c);
      return TRUE;
    case CTRL_BREAK_EVENT:
      g_on_event(ConsoleEvent::control_break);
      return TRUE;
    case CTRL_CLOSE_EVENT:
      g_on_event(ConsoleEvent::window_close);
      return TRUE;
    default:
      return FALSE; // log-off and shut-down: the system's default
  }
}

class Win32Platform final : public Platform {
public:
  void prepare_process() override {
    // Every floating-point exception masked, whatever the loader left behind,
    // so that a division by zero gives an infinity.
    _clearfp();
    _controlfp(_MCW_EM, _MCW_EM);
    std::feclearexcept(FE_ALL_EXCEPT);
    // A drive without its medium must fail the open with its error code,
    // not stop the run with a dialogue box that nobody may be there to answer.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  }

  Stream standard(Standard which) override {
    switch (which) {
      case Standard::input:
        return stream_of(GetStdHandle(STD_INPUT_HANDLE));
      case Standard::output:
        return stream_of(GetStdHandle(STD_OUTPUT_HANDLE));
      case Standard::error:
        return stream_of(GetStdHandle(STD_ERROR_HANDLE));
    }
    return Stream::none;
  }

  bool is_console(Stream s) override {
    return s != Stream::none && is_console_handle(handle_of(s));
  }

  std::span<char *const> arguments(int, char **) override {
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
      return {};
    for (int i = 1; i < count; ++i)
      arguments_.push_back(narrow(wide[i], CP_UTF8));
    LocalFree(wide);
    for (std::string &argument : arguments_)
      argument_pointers_.push_back(argument.data());
    return argument_pointers_;
  }

  OpenResult open_report(const std::string &name, NameOrigin origin) override {
    OpenResult r;
    std::wstring wide;
    if (!widen(name, code_page_of(origin), wide)) {
      r.refusal = Message::bad_file_name;
      return r;
    }
    // Always open, never truncate here: the first record cuts the old contents.
    // Readers may look at the report while the table runs.
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      r.stream = stream_of(h);
      return r;
    }
    const DWORD error = GetLastError();
    r.refusal = refusal_of(error);
    if (r.refusal == Message::file_not_found && has_overlong_component(wide))
      r.refusal = Message::bad_file_name;
    r.description = describe(error);
    return r;
  }

  std::string shown_name(const std::string &name, NameOrigin origin) override {
    std::wstring wide;
    if (!widen(name, code_page_of(origin), wide))
      return name;
    return narrow(wide, error_code_page());
  }

  Outcome truncate(Stream s, std::uint64_t length) override {
    const HANDLE h = handle_of(s);
    if (GetFileType(h) != FILE_TYPE_DISK)
      return {};
    if (length > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()))
      return {false, describe(ERROR_INVALID_PARAMETER)};
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h))
      return {false, describe(GetLastError())};
    return {};
  }

  Outcome write(Stream s, std::string_view bytes) override {
    const HANDLE h = handle_of(s);
    while (!bytes.empty()) {
      const DWORD part = static_cast<DWORD>(
          std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
      DWORD done = 0;
      if (!WriteFile(h, bytes.data(), part, &done, nullptr))
        return {false, describe(GetLastError())};
      if (done == 0)
        return {false, describe(ERROR_DISK_FULL)};
      bytes.remove_prefix(done);
    }
    return {};
  }

  ReadResult read(Stream s, std::span<char> buffer) override {
    const HANDLE h = handle_of(s);
    if (is_console_handle(h))
      return read_console(h, buffer);
    const DWORD want =
        static_cast<DWORD>(std::min<std::size_t>(buffer.size(), std::numeric_limits<DWORD>::max()));
    DWORD got = 0;
    // A pipe whose writer has gone reports it as a failure: that is its end.
    if (!ReadFile(h, buffer.data(), want, &got, nullptr) && GetLastError() != ERROR_BROKEN_PIPE &&
        GetLastError() != ERROR_HANDLE_EOF)
      return ReadResult::failure(describe(GetLastError()));
    return got == 0 ? ReadResult::end() : ReadResult::bytes(got);
  }

  void input_is_utf8() override { utf8_input_ = true; }

  void close(Stream s) override { (void)CloseHandle(handle_of(s)); }

  void watch_console_events(void (*on_event)(ConsoleEvent)) override {
    g_on_event = on_event;
    SetConsoleCtrlHandler(console_control_handler, TRUE);
  }

  void exit(std::uint32_t status) override { ExitProcess(status); }

  void exit_by_event(ConsoleEvent) override { ExitProcess(kStatusControlCExit); }

  void wait_forever() override {
    for (;;)
      Sleep(INFINITE);
  }

private:
  // The code page of a report name's bytes.
  UINT code_page_of(NameOrigin origin) const {
    const bool utf8 = origin == NameOrigin::command_line || utf8_input_ ||
                      is_console_handle(GetStdHandle(STD_INPUT_HANDLE));
    return utf8 ? CP_UTF8 : GetACP();
  }

  // A console read: the line as the console holds it, in UTF-16, handed on in UTF-8
  // as far as `buffer` holds it (the rest at the next read). A high surrogate that
  // ends a piece waits for its partner.
  ReadResult read_console(HANDLE h, std::span<char> buffer) {
    while (console_pending_.empty()) {
      wchar_t wide[kConsoleChunk];
      DWORD got = 0;
      SetLastError(ERROR_SUCCESS);
      const BOOL ok = ReadConsoleW(h, wide, kConsoleChunk, &got, nullptr);
      // A read cut short by control-C returns nothing; the handler's thread is
      // ending the run, so wait in the read again rather than report an end of
      // input that did not happen. Other failures are left to the console's events.
      if (got == 0 && GetLastError() == ERROR_OPERATION_ABORTED)
        continue;
      if (!ok || got == 0)
        return ReadResult::end();
      std::wstring text = std::exchange(high_surrogate_, {});
      text.append(wide, got);
      if (IS_HIGH_SURROGATE(text.back())) {
        high_surrogate_ = text.back();
        text.pop_back();
      }
      console_pending_ = narrow(text, CP_UTF8);
      if (!console_pending_.empty() && ends_console_input(console_pending_))
        return ReadResult::end();
    }
    const std::size_t n = std::min(buffer.size(), console_pending_.size());
    std::memcpy(buffer.data(), console_pending_.data(), n);
    console_pending_.erase(0, n);
    return ReadResult::bytes(n);
  }

  // On a console, control-Z then Enter at the start of a line ends the input.
  // The console's wide read gives the control-Z as a character, which this catches.
  // A console read returns at most one line, so a line starts where the last
  // read ended with its line end.
  bool ends_console_input(std::string_view got) {
    const bool ends = console_line_start_ && got.front() == '\x1a';
    console_line_start_ = got.back() == '\n';
    return ends;
  }

  bool console_line_start_ = true;
  std::string console_pending_;        // UTF-8 of a console line not yet handed on
  std::wstring high_surrogate_;        // the first half of a pair split between two reads
  bool utf8_input_ = false;            // redirected input began with a UTF-8 byte-order mark
  std::vector<std::string> arguments_; // the command line after the program's name, in UTF-8
  std::vector<char *> argument_pointers_;
};

} // namespace

Platform &native() {
  static Win32Platform instance;
  return instance;
}

} // namespace kelvor::recordio::platform
