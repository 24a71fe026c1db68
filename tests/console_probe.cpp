// A small program on the record layer alone, for the terminal test: records whose
// first character is "0", "1", "+" and "-", a prompt and its answer, then the stop.
#include "recordio/record_io.hpp"

using namespace kelvor::recordio;
using namespace kelvor::format;

namespace {
constexpr Item ZERO[] = {lit("0after an empty line"), end_of_layout()};
constexpr Item ONE[] = {lit("1after a form feed"), end_of_layout()};
constexpr Item PLUS[] = {lit(" overwritten"), slash(), lit("+over"), end_of_layout()};
constexpr Item MINUS[] = {fw(6, 3), lit(" minus lost"), end_of_layout()};
constexpr Item PROMPT[] = {lit(" Answer "), no_advance(), end_of_layout()};
constexpr Item ECHO[] = {lit(" got"), fw(6, 1), end_of_layout()};
} // namespace

int main(int argc, char **argv) {
  start_up(argc, argv);
  write(Unit::console, ZERO);
  write(Unit::console, ONE);
  write(Unit::console, PLUS);
  const Value minus[] = {real(-0.5f)};
  write(Unit::console, MINUS, minus);
  write(Unit::console, PROMPT);
  float answer = 0.0f;
  const ListItem item{&answer, nullptr};
  read({&item, 1});
  const Value got[] = {real(answer)};
  write(Unit::console, ECHO, got);
  stop();
}
