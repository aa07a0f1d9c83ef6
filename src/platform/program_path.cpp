#include "platform/program_path.h"

#include <filesystem>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace velarin {

std::string ProgramPath() {
#ifdef _WIN32
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
#else
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<size_t>(n));
      // A program replaced while running still reports its old name with this suffix.
      constexpr std::string_view kDeleted = " (deleted)";
      if (path.size() > kDeleted.size() &&
          path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
        path.resize(path.size() - kDeleted.size());
      }
      return path;
    }
    if (buffer.size() >= 65536) return {};
    buffer.resize(buffer.size() * 2);
  }
#endif
}

std::string SettingsPathBeside(const std::string& program) {
  if (program.empty()) return {};
  std::filesystem::path p(program);
  std::filesystem::path ini = p.parent_path() / p.stem();
  return ini.string() + ".ini";
}

std::string DefaultSettingsPath() { return SettingsPathBeside(ProgramPath()); }

}  // namespace velarin
