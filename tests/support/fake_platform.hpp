// A platform in memory, for the record layer's tests and in-process harnesses:
// standard input is a string, every output is kept (or only counted), report
// files live in a map by name, and any of them can be made to refuse the open or
// to fill up after a given number of bytes. The end of the process is an
// exception carrying the exit status.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "recordio/platform.hpp"

namespace kelvor::test {

using recordio::platform::ConsoleEvent;

// Thrown by the fake's exits: how the run ended.
struct ProcessEnded {
  std::uint32_t status = 0;
  std::optional<ConsoleEvent> event; // set when a console event ended the run
};

class FakePlatform final : public recordio::platform::Platform {
public:
  struct File {
    std::string bytes;
    std::size_t capacity = std::numeric_limits<std::size_t>::max(); // then writes fail
    bool keep = true;       // false: count the bytes only (for benchmarks)
    std::size_t length = 0; // bytes written in all
    bool closed = false;
    std::size_t cuts_allowed = std::numeric_limits<std::size_t>::max(); // then cuts fail
  };

  std::string input;             // all of standard input
  std::size_t read_chunk = 4096; // the most one read returns
  bool read_fails = false;       // the input's end is a read failure
  bool console = false;          // standard output is a console
  bool hung_up = false;          // the console has gone away
  File output;                   // standard output
  File error;                    // standard error
  std::map<std::string, File> files;
  // Names that the open refuses, with the message the reason selects and the
  // system's text.
  std::map<std::string, recordio::platform::OpenResult> refusals;
  void (*event_handler)(ConsoleEvent) = nullptr;

  void prepare_process() override {}
  recordio::platform::Stream standard(recordio::platform::Standard which) override;
  bool is_console(recordio::platform::Stream stream) override;
  recordio::platform::OpenResult open_report(const std::string &name) override;
  recordio::platform::Outcome truncate(recordio::platform::Stream stream,
                                       std::uint64_t length) override;
  recordio::platform::Outcome write(recordio::platform::Stream stream,
                                    std::string_view bytes) override;
  recordio::platform::ReadResult read(recordio::platform::Stream stream,
                                      std::span<char> buffer) override;
  void close(recordio::platform::Stream stream) override;
  bool console_hung_up() override { return hung_up; }
  void watch_console_events(void (*on_event)(ConsoleEvent)) override { event_handler = on_event; }
  [[noreturn]] void exit(std::uint32_t status) override;
  [[noreturn]] void exit_by_event(ConsoleEvent event) override;
  [[noreturn]] void wait_forever() override;

private:
  File *file_of(recordio::platform::Stream stream);

  std::size_t input_position_ = 0;
  std::vector<File *> open_files_; // report streams, numbered from 3
};

} // namespace kelvor::test
