// POSIX implementation of the record layer's operating-system services.
#include "recordio/platform.hpp"

#include <cerrno>
#include <cfenv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fenv.h>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kelvor::recordio::platform {
namespace {

char *const *saved_argv = nullptr;
int saved_argc = 0;

// Control-C, control-BREAK and window-CLOSE map onto their POSIX counterparts.
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
OpenFailure classify(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return OpenFailure::not_found;
    case EMFILE:
    case ENFILE:
      return OpenFailure::too_many_files;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return OpenFailure::access_denied;
    case ENXIO:
    case ENODEV:
      return OpenFailure::no_device;
    case EEXIST:
      return OpenFailure::exists;
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return OpenFailure::bad_name;
    default:
      return OpenFailure::other;
  }
}

} // namespace

void mask_floating_point_exceptions() {
  // The IEEE default masks every exception; a trap inherited or enabled by a
  // library is switched off here, so that a division by zero gives an infinity.
#ifdef __GLIBC__
  fedisableexcept(FE_ALL_EXCEPT);
#endif
  std::feclearexcept(FE_ALL_EXCEPT);
}

bool stdout_is_console() {
  return isatty(kStdout) == 1;
}

void set_arguments(int argc, char **argv) {
  saved_argc = argc > 1 ? argc - 1 : 0;
  saved_argv = argc > 1 ? argv + 1 : nullptr;
}

std::span<char *const> arguments() {
  if (saved_argv == nullptr)
    return {};
  return {saved_argv, static_cast<std::size_t>(saved_argc)};
}

int open_for_writing(const char *name, OpenFailure &failure, const char *&description) {
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd >= 0) {
    failure = OpenFailure::none;
    description = "";
    return fd;
  }
  const int err = errno;
  failure = classify(err);
  description = std::strerror(err);
  return -1;
}

void truncate_to_start(int fd) {
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
    (void)ftruncate(fd, 0);
}

bool write_all(int fd, const char *data, std::size_t n) {
  while (n > 0) {
    const ssize_t done = ::write(fd, data, n);
    if (done < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    if (done == 0)
      return false;
    data += done;
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

std::size_t read_some(int fd, char *data, std::size_t n) {
  for (;;) {
    const ssize_t got = ::read(fd, data, n);
    if (got >= 0)
      return static_cast<std::size_t>(got);
    if (errno != EINTR)
      return 0; // an unreadable input ends like the end of input
  }
}

void close_fd(int fd) {
  (void)::close(fd);
}

void start_console_event_thread(void (*on_event)(ConsoleEvent)) {
  // A reader that closes the pipe must give EPIPE on write, which the layer
  // reports, rather than a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
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

void wait_forever() {
  for (;;)
    ::pause();
}

void exit_process(int status) {
  ::_exit(status);
}

void exit_by_event(ConsoleEvent event) {
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

} // namespace kelvor::recordio::platform
