#include "platform/program_path.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace velarin
