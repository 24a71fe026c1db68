// Runs the built program as a user would: in a directory of its own, with
// standard input from a file or a pseudo-terminal, and collects what it leaves.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelvor::test {

std::string read_file(const std::filesystem::path &p);
void write_file(const std::filesystem::path &p, const std::string &bytes);

// A fresh empty directory under the system's temporary directory.
std::filesystem::path fresh_directory();

struct Outcome {
  std::string out;
  std::string err;
  int status = -1; // exit status, or 128 + signal number
};

// Runs the program in `dir` with standard input from `input` and `args` on its
// command line; standard output and error go to files (not a terminal).
Outcome run_program(const std::filesystem::path &dir, const std::string &input,
                    const std::vector<std::string> &args = {});

// Starts the program in `dir` with standard input from `in_fd` and standard output
// to `out_fd` (-1: the file "stdout" in `dir`); standard error goes to the file
// "stderr" in `dir`. Returns the child's process id.
int start_program(const std::filesystem::path &dir, int in_fd, int out_fd);

// Waits for the child; its exit status, or 128 + the signal that ended it, and
// its peak resident memory in KiB when `peak_kib` is given.
int wait_program(int pid, long *peak_kib = nullptr);

} // namespace kelvor::test
