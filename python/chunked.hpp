// Long work from Python a chunk at a time: each chunk runs with the GIL released, and between
// chunks the GIL is taken back to run the Python signal handlers, so that a KeyboardInterrupt (or
// any exception they raise) ends the call before the next chunk starts, with no worker thread
// left running. Chunks grow from `first` items while one takes less than half of `time`.
#pragma once

#include <pybind11/pybind11.h>

#include <algorithm>
#include <chrono>
#include <cstddef>

// job(begin, count) for consecutive chunks covering 0 .. n.
template <class Job>
void in_chunks(std::size_t n, std::size_t first, std::chrono::milliseconds time, Job job) {
  std::size_t chunk = first;
  for (std::size_t begin = 0; begin < n;) {
    const std::size_t count = std::min(chunk, n - begin);
    std::chrono::steady_clock::duration took{};
    {
      pybind11::gil_scoped_release unlocked;
      const auto start = std::chrono::steady_clock::now();
      job(begin, count);
      took = std::chrono::steady_clock::now() - start;
    }
    begin += count;
    if (PyErr_CheckSignals() != 0)
      throw pybind11::error_already_set();
    if (took < time / 2)
      chunk *= 2;
  }
}
