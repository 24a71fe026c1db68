#include "process.hpp"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvor::test {

std::string read_file(const std::filesystem::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::filesystem::path &p, const std::string &bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::filesystem::path fresh_directory() {
  std::string templ = (std::filesystem::temp_directory_path() / "kelvor-XXXXXX").string();
  if (mkdtemp(templ.data()) == nullptr)
    throw std::runtime_error("mkdtemp failed");
  return templ;
}

// The command that starts the program: KELVOR_PROGRAM, else the program of this
// build, run under KELVOR_EMULATOR when that is set (the Windows kelvor.exe
// under Wine), followed by `args`.
static std::vector<std::string> command_line(const std::vector<std::string> &args) {
  std::vector<std::string> words;
  if (const char *emulator = std::getenv("KELVOR_EMULATOR"); emulator != nullptr && *emulator)
    words.emplace_back(emulator);
  const char *program = std::getenv("KELVOR_PROGRAM");
  words.emplace_back(program != nullptr && *program ? program : KELVOR_BINARY);
  words.insert(words.end(), args.begin(), args.end());
  return words;
}

[[noreturn]] static void exec_program(const std::vector<std::string> &words) {
  std::vector<char *> argv;
  for (const auto &w : words)
    argv.push_back(const_cast<char *>(w.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

static int decode_status(int raw) {
  if (WIFEXITED(raw))
    return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw))
    return 128 + WTERMSIG(raw);
  return -1;
}

Outcome run_program(const std::filesystem::path &dir, const std::string &input,
                    const std::vector<std::string> &args) {
  write_file(dir / ".stdin", input);
  const std::vector<std::string> words = command_line(args);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0)
      _exit(127);
    const int in = open(".stdin", O_RDONLY);
    const int out = open(".stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0)
      _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    exec_program(words);
  }
  int raw = 0;
  waitpid(pid, &raw, 0);
  Outcome o;
  o.status = decode_status(raw);
  o.out = read_file(dir / ".stdout");
  o.err = read_file(dir / ".stderr");
  std::filesystem::remove(dir / ".stdin");
  std::filesystem::remove(dir / ".stdout");
  std::filesystem::remove(dir / ".stderr");
  return o;
}

int start_program(const std::filesystem::path &dir, int in_fd, int out_fd) {
  const std::vector<std::string> words = command_line({});
  const pid_t pid = fork();
  if (pid != 0)
    return pid;
  if (chdir(dir.c_str()) != 0)
    _exit(127);
  const int out = out_fd >= 0 ? out_fd : open("stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open("stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0)
    _exit(127);
  dup2(in_fd, 0);
  dup2(out, 1);
  dup2(err, 2);
  closefrom(3);
  exec_program(words);
}

int wait_program(int pid, long *peak_kib) {
  int raw = 0;
  rusage usage{};
  wait4(pid, &raw, 0, &usage);
  if (peak_kib != nullptr)
    *peak_kib = usage.ru_maxrss;
  return decode_status(raw);
}

} // namespace kelvor::test
