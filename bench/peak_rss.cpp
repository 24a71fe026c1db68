// Runs one program with its standard streams on files and reports its peak
// resident memory, so that the figure is the program's own: a child reports the
// largest resident size it ever had, including the image it was forked from
// before exec, so the parent that forks must itself be small. A benchmark binary
// (with its own tables and buffers) is not; this launcher is.
//
//   kelvor_peak_rss STDIN STDOUT STDERR PROGRAM [ARG...]
//
// Prints "<peak resident KiB> <exit status>" (the status is 128 + the signal
// for a run ended by a signal) and exits 0, or 2 if the program could not run.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char **argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s STDIN STDOUT STDERR PROGRAM [ARG...]\n", argv[0]);
    return 2;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    std::perror("fork");
    return 2;
  }
  if (pid == 0) {
    const int in = ::open(argv[1], O_RDONLY);
    const int out = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
        ::dup2(err, 2) < 0)
      ::_exit(127);
    ::execv(argv[4], argv + 4);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) {
    std::perror("wait4");
    return 2;
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  if (code == 127)
    return 2;
  std::printf("%ld %d\n", usage.ru_maxrss, code);
  return 0;
}
