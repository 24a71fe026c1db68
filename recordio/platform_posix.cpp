// The record layer's operating-system services on POSIX systems. A stream is a
// file descriptor; the console events are signals: control-C is SIGINT,
// control-BREAK SIGQUIT and window-CLOSE SIGHUP.
#include <cerrno>
#include <cfenv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "recordio/platform.hpp"

namespace kelvor::recordio::platform {
namespace {

int fd_of(Stream s) {
  return static_cast<int>(s);
}

constexpr int signal_of(ConsoleEvent e) {
  switch (e) {
    case ConsoleEvent::control_c:
      return SIGINT;
    case ConsoleEvent::control_break:
      return SIGQUIT;
    case ConsoleEvent::window_close:
      return SIGHUP;
  }
  return SIGINT;
}

sigset_t console_signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGQUIT);
  sigaddset(&set, SIGHUP);
  return set;
}

// errno values grouped by the message that each selects. ENOENT and ENOTDIR:
// a component of the path is missing; EACCES, EPERM, EROFS and EISDIR: the
// system refuses writing there; ENXIO and ENODEV: a device that is not there;
// ENAMETOOLONG, EINVAL and ELOOP: the name itself cannot be used.
Message refusal_of(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return Message::file_not_found;
    case EMFILE:
    case ENFILE:
      return Message::too_many_open_files;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return Message::access_denied;
    case ENXIO:
    case ENODEV:
      return Message::no_such_device;
    case EEXIST:
      return Message::file_exists;
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return Message::bad_file_name;
    default:
      return Message::open_failure;
  }
}

Outcome failure(int err) {
  return {false, std::strerror(err)};
}

class PosixPlatform final : public Platform {
public:
  void prepare_process() override {
    // The IEEE default masks every exception; a trap inherited or enabled by a
    // library is switched off here, so that a division by zero gives an infinity.
#ifdef __GLIBC__
    fedisableexcept(FE_ALL_EXCEPT);
#endif
    std::feclearexcept(FE_ALL_EXCEPT);
    // A reader that closes the pipe must give EPIPE on write, and a file that
    // reaches the size limit EFBIG, which the layer reports, rather than a
    // silent death by SIGPIPE or SIGXFSZ.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
  }

  Stream standard(Standard which) override {
    switch (which) {
      case Standard::input:
        return Stream{STDIN_FILENO};
      case Standard::output:
        return Stream{STDOUT_FILENO};
      case Standard::error:
        return Stream{STDERR_FILENO};
    }
    return Stream::none;
  }

  bool is_console(Stream s) override {
    return isatty(fd_of(s)) == 1;
  }

  OpenResult open_report(const std::string &name) override {
    OpenResult r;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0) {
      r.stream = Stream{fd};
      return r;
    }
    const int err = errno;
    r.refusal = refusal_of(err);
    r.description = std::strerror(err);
    return r;
  }

  Outcome truncate(Stream s, std::uint64_t length) override {
    struct stat st {};
    if (fstat(fd_of(s), &st) != 0)
      return failure(errno);
    if (!S_ISREG(st.st_mode))
      return {};
    if (ftruncate(fd_of(s), static_cast<off_t>(length)) != 0)
      return failure(errno);
    return {};
  }

  Outcome write(Stream s, std::string_view bytes) override {
    const char *data = bytes.data();
    std::size_t n = bytes.size();
    while (n > 0) {
      const ssize_t done = ::write(fd_of(s), data, n);
      if (done < 0) {
        if (errno == EINTR)
          continue;
        return failure(errno);
      }
      if (done == 0) // no progress and no reason: a full device
        return failure(ENOSPC);
      data += done;
      n -= static_cast<std::size_t>(done);
    }
    return {};
  }

  ReadResult read(Stream s, std::span<char> buffer) override {
    for (;;) {
      const ssize_t got = ::read(fd_of(s), buffer.data(), buffer.size());
      if (got > 0)
        return ReadResult::bytes(static_cast<std::size_t>(got));
      if (got == 0)
        return ReadResult::end();
      if (errno != EINTR)
        return ReadResult::failure(std::strerror(errno));
    }
  }

  void close(Stream s) override {
    (void)::close(fd_of(s));
  }

  // A terminal that has hung up refuses its settings with EIO; its SIGHUP may
  // still be on its way to the event thread, or go to the shell alone.
  bool console_hung_up() override {
    sigset_t pending;
    if (sigpending(&pending) == 0 && sigismember(&pending, SIGHUP) == 1)
      return true;
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO}) {
      termios settings{};
      if (tcgetattr(fd, &settings) != 0 && errno == EIO)
        return true;
    }
    return false;
  }

  void watch_console_events(void (*on_event)(ConsoleEvent)) override {
    const sigset_t set = console_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([on_event, set] {
      for (;;) {
        int sig = 0;
        if (sigwait(&set, &sig) != 0)
          continue;
        const ConsoleEvent e = sig == SIGQUIT  ? ConsoleEvent::control_break
                               : sig == SIGHUP ? ConsoleEvent::window_close
                                               : ConsoleEvent::control_c;
        on_event(e); // does not return
      }
    }).detach();
  }

  // A POSIX parent sees the low eight bits of the status.
  void exit(std::uint32_t status) override {
    ::_exit(static_cast<int>(status & 0xFFu));
  }

  void exit_by_event(ConsoleEvent event) override {
    const int sig = signal_of(event);
    std::signal(sig, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(sig);
    // Should the signal not end the process, end it with the shell's convention.
    ::_exit(128 + sig);
  }

  void wait_forever() override {
    for (;;)
      ::pause();
  }
};

} // namespace

Platform &native() {
  static PosixPlatform instance;
  return instance;
}

} // namespace kelvor::recordio::platform
