// velarin-cli: the main window driven from the command line.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "frontend/cli_main.h"
#include "frontend/options.h"

int main(int argc, char** argv) {
  using namespace velarin::frontend;
  const ParseResult parsed = ParseArgs(Program::kCli, std::vector<std::string>(argv, argv + argc));
  if (std::optional<int> code = ExitBeforeRunning(Program::kCli, parsed, std::cout, std::cerr)) {
    return *code;
  }
  return RunCliMain(*parsed.options, std::cout, std::cerr);
}
