#include <iostream>
#include <locale>
#include <string>
#include <vector>

#include "cli/flyback_calc.h"

int main(int argc, char** argv) {
  // Numbers are formatted by the program itself; the classic locale keeps anything the
  // streams add (such as digit grouping) out of the output, whatever the environment says.
  std::cout.imbue(std::locale::classic());
  std::cerr.imbue(std::locale::classic());
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = fbc::runFlybackCalc(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "flyback-calc: could not write to standard output\n";
    return 1;
  }
  return status;
}
