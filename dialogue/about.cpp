#include "dialogue/about.hpp"

#include <cstdio>
#include <string_view>

namespace kelvor::dialogue {
namespace {

constexpr std::string_view kVersion = "kelvor " KELVOR_VERSION "\n";

constexpr std::string_view kHelp =
    "Usage: kelvor [REPORT-FILE]\n"
    "       kelvor --version | --help\n"
    "\n"
    "Designs a conical corrugated horn to a required beamwidth, and gives the\n"
    "frequency response of a horn over a band, by questions on the console.\n"
    "Every table also goes to the report file, whose name is the first question;\n"
    "a blank answer takes REPORT-FILE, and without it the name is asked again.\n"
    "\n"
    "  --version  print the version and exit\n"
    "  --help     print this help and exit\n"
    "\n"
    "To answer from a file: kelvor < answers.txt. See kelvor(1) and the README.\n";

} // namespace

std::optional<std::string_view> about_text(int argc, const char *const *argv) {
  if (argc != 2)
    return std::nullopt;
  const std::string_view argument = argv[1];
  if (argument == "--version")
    return kVersion;
  if (argument == "--help")
    return kHelp;
  return std::nullopt;
}

int print_about(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return written && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace kelvor::dialogue
