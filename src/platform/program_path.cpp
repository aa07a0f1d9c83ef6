#include "platform/program_path.h"

#include <cstdio>
#include <cstdlib>
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

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// Whether a file can be created in `folder`: asked of the file system itself, since
// permission bits do not tell the whole story (ACLs on Windows, read-only mounts).
bool FolderWritable(const std::filesystem::path& folder) {
  const std::filesystem::path probe =
      folder / (".velarin-write-test-" + std::to_string(static_cast<long long>(
#ifdef _WIN32
                                             GetCurrentProcessId()
#else
                                             getpid()
#endif
                                                 )));
  std::FILE* file = std::fopen(probe.string().c_str(), "wb");
  if (file == nullptr) return false;
  std::fclose(file);
  std::error_code ec;
  std::filesystem::remove(probe, ec);
  return true;
}

}  // namespace

std::string UserSettingsFolder() {
#ifdef _WIN32
  const std::string base = Env("APPDATA");
  if (base.empty()) return {};
  return (std::filesystem::path(base) / "Velarin").string();
#else
  std::string base = Env("XDG_CONFIG_HOME");
  // A relative value is invalid by the XDG rules and is ignored.
  if (base.empty() || base[0] != '/') {
    const std::string home = Env("HOME");
    if (home.empty()) return {};
    base = home + "/.config";
  }
  return (std::filesystem::path(base) / "velarin").string();
#endif
}

std::string DefaultSettingsPath() {
  const std::string beside = SettingsPathBeside(ProgramPath());
  if (beside.empty()) return beside;
  const std::filesystem::path path(beside);
  if (FolderWritable(path.parent_path())) return beside;
  const std::string folder = UserSettingsFolder();
  if (folder.empty()) return beside;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return (std::filesystem::path(folder) / path.filename()).string();
}

}  // namespace velarin
