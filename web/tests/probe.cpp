// The native side of the WebAssembly comparison: the bits of the rows of every
// grid line read from standard input.
#include <iostream>
#include <string>

#include "web/bits.hpp"

int main() {
  std::string line;
  while (std::getline(std::cin, line))
    if (!line.empty() && line.front() != '#')
      std::cout << kelvor::web::grid_bits(line);
  return std::cout.good() ? 0 : 1;
}
