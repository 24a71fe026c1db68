// KELVOR: conical corrugated horn design to a required beamwidth.
#include "dialogue/dialogue.hpp"
#include "recordio/record_io.hpp"

int main(int argc, char **argv) {
  kelvor::recordio::start_up(argc, argv);
  kelvor::dialogue::run();
}
