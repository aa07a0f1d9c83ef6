#include "platform/program_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velarin {
namespace {

TEST(SettingsPathBeside, NamedAfterTheExecutableInItsFolder) {
  struct Case {
    const char* program;
    const char* settings;
  } cases[] = {
#ifdef _WIN32
      {"C:\\Velarin\\velarin.exe", "C:\\Velarin\\velarin.ini"},
      {"C:\\Velarin\\velarin-cli.exe", "C:\\Velarin\\velarin-cli.ini"},
      {"C:\\v.2\\velarin.exe", "C:\\v.2\\velarin.ini"},  // the extension goes, not the dot
      {"velarin.exe", "velarin.ini"},
#else
      {"/opt/velarin/velarin", "/opt/velarin/velarin.ini"},
      {"/opt/velarin/velarin-cli", "/opt/velarin/velarin-cli.ini"},
      {"/opt/v.2/velarin.bin", "/opt/v.2/velarin.ini"},  // the extension goes, not the folder's dot
      {"velarin", "velarin.ini"},
#endif
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SettingsPathBeside(c.program), c.settings) << c.program;
}

TEST(ProgramPath, IsThisTestBinary) {
  const std::string path = ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::path(path).is_absolute());
  EXPECT_EQ(std::filesystem::path(path).stem(), "platform_tests");
  EXPECT_EQ(DefaultSettingsPath(),
            (std::filesystem::path(path).parent_path() / "platform_tests.ini").string());
}

#ifndef _WIN32
TEST(UserSettingsFolder, XdgConfigHomeElseHomeConfig) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = xdg != nullptr ? xdg : "";
  setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
  EXPECT_EQ(UserSettingsFolder(), "/home/u/cfg/velarin");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored, as XDG says
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    EXPECT_EQ(UserSettingsFolder(), std::string(home) + "/.config/velarin");
  }
  if (xdg != nullptr) {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}
#endif

}  // namespace
}  // namespace velarin
