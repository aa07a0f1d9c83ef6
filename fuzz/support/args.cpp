#include "support/args.h"

#include "support/fuzz_check.h"

namespace velarin::fuzz {

std::vector<std::string> ArgsFromBytes(std::string_view program, const uint8_t* data, size_t size) {
  std::vector<std::string> args{std::string(program)};
  if (size == 0) return args;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  args.push_back(current);
  return args;
}

std::string ArgsText(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    line += "'" + Printable(arg) + "'";
  }
  return line;
}

}  // namespace velarin::fuzz
