// KELVOR: conical corrugated horn design to a required beamwidth.
#include "dialogue/about.hpp"
#include "dialogue/dialogue.hpp"
#include "recordio/record_io.hpp"

int main(int argc, char **argv) {
  if (const auto text = kelvor::dialogue::about_text(argc, argv))
    return kelvor::dialogue::print_about(*text);
  kelvor::recordio::start_up(argc, argv);
  kelvor::dialogue::run();
}
