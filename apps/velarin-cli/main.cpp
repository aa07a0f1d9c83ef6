// velarin-cli: the main window driven from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "frontend/cli_main.h"
#include "frontend/cli_options.h"
#include "frontend/cli_session.h"
#include "frontend/cli_texts.h"

int main(int argc, char** argv) {
  using namespace velarin::cli;
  const std::vector<std::string> args(argv, argv + argc);
  const ParseResult<CliOptions> parsed = ParseCliArgs(args);
  if (parsed.help) {
    std::cout << texts::kCliUsage;
    return kExitOk;
  }
  if (!parsed.options) {
    std::cerr << parsed.error << std::endl;
    return kExitUsage;
  }
  return RunCliMain(*parsed.options, std::cout, std::cerr);
}
