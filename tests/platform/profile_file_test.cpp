#include "platform/profile_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "support/native_lines.h"

namespace velarin {
namespace {

namespace fs = std::filesystem;

TEST(FindProfileValue, FindsKeysAsThePlatformDid) {
  const std::string text =
      "; settings\r\n"
      "orphan=before any section\r\n"
      "[Other]\r\n"
      "Com=9\r\n"
      "[hardware]\r\n"
      "  com =  3  \r\n"
      "Ecu=\"4\"\r\n"
      "Empty=\r\n"
      "Com=7\r\n"
      "[Hardware]\r\n"
      "Extra=second section of the same name\r\n";
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"Hardware", "Com", "3"},   // section and key without regard to case, blanks trimmed
      {"HARDWARE", "cOm", "3"},   //
      {"Hardware", "Ecu", "4"},   // enclosing quotes dropped
      {"Hardware", "Empty", ""},  // present but empty
      {"Hardware", "Extra", std::nullopt},  // only the first section of a name counts
      {"Other", "Com", "9"},
      {"Hardware", "orphan", std::nullopt},
      {"Missing", "Com", std::nullopt},
      {"Hardware", "Baud", std::nullopt},
      {" Hardware ", " Com ", "3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindProfileValue(text, c.section, c.key), c.value) << c.section << "/" << c.key;
  }
}

TEST(FindProfileValue, CutsLongValuesAndNul) {
  const std::string big(1 << 20, 'x');  // a line of a megabyte
  std::string text = "[Hardware]\nCom=" + big + "\nEcu=2\n";
  EXPECT_EQ(FindProfileValue(text, "Hardware", "Com")->size(), kProfileValueMax);
  EXPECT_EQ(FindProfileValue(text, "Hardware", "Ecu"), "2");
  text = std::string("[Hardware]\nCom=1\0garbage\n", 25);
  EXPECT_EQ(FindProfileValue(text, "Hardware", "Com"), "1");
}

TEST(FindProfileValue, ReadsEveryLineEnding) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    const std::string text = std::string("[Hardware]") + eol + "Com=5" + eol + "Ecu=3";
    EXPECT_EQ(FindProfileValue(text, "Hardware", "Com"), "5")
        << "line end of " << std::string(eol).size() << " bytes";
    EXPECT_EQ(FindProfileValue(text, "Hardware", "Ecu"), "3");
  }
}

TEST(FindProfileValue, SurvivesGarbage) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  EXPECT_FALSE(FindProfileValue(garbage, "Hardware", "Com").has_value());
  EXPECT_FALSE(FindProfileValue("[", "Hardware", "Com").has_value());
  EXPECT_FALSE(FindProfileValue("[Hardware", "Hardware", "Com").has_value());
  EXPECT_EQ(FindProfileValue("[Hardware\nCom=1", "Hardware", "Com"), "1");  // unclosed header
  EXPECT_FALSE(FindProfileValue("=\n==\n[]=", "", "").has_value());
}

TEST(SetProfileValue, EditsInPlaceAndKeepsEverythingElse) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
    const char* read_back;
  } cases[] = {
      {"new file", "", "Hardware", "Com", "3", testing::NativeLines("[Hardware]\nCom=3\n"), "3"},
      {"replace, header spelling kept", "; c\r\n[hardware]\r\ncom=1\r\nEcu=2\r\n", "Hardware",
       "Com", "3", "; c\r\n[hardware]\r\nCom=3\r\nEcu=2\r\n", "3"},
      {"add to section before its blank line", "[Hardware]\nCom=1\n\n[Other]\nx=y\n", "Hardware",
       "Ecu", "4", "[Hardware]\nCom=1\nEcu=4\n\n[Other]\nx=y\n", "4"},
      {"append section, no final line end", "[Other]\nx=y", "Hardware", "Com", "1",
       "[Other]\nx=y\n[Hardware]\nCom=1\n", "1"},
      {"CR-only file stays CR-only", "[A]\ra=1\r[Hardware]\rCom=1\r", "Hardware", "Ecu", "3",
       "[A]\ra=1\r[Hardware]\rCom=1\rEcu=3\r", "3"},
      {"empty section", "[Hardware]\n[Next]\n", "Hardware", "Com", "2",
       "[Hardware]\nCom=2\n[Next]\n", "2"},
      {"value cut at its line break", "", "S", "K", "1\r\n[Evil]\r\nx=1",
       testing::NativeLines("[S]\nK=1\n"), "1"},
      {"lines before any section kept", "junk line\nk=v\n", "S", "K", "v2",
       "junk line\nk=v\n[S]\nK=v2\n", "v2"},
      {"replacing the last line without line end", "[S]\nK=1", "S", "K", "2", "[S]\nK=2\n", "2"},
  };
  for (const Case& c : cases) {
    std::optional<std::string> out = SetProfileValue(c.before, c.section, c.key, c.value);
    ASSERT_TRUE(out.has_value()) << c.name;
    EXPECT_EQ(*out, c.after) << c.name;
    EXPECT_EQ(FindProfileValue(*out, c.section, c.key), c.read_back) << c.name;
  }
}

TEST(SetProfileValue, RefusesNamesThatWouldBreakTheFile) {
  struct Case {
    const char* section;
    const char* key;
  } cases[] = {{"", "Com"},          {"Hard]ware", "Com"}, {"Hard\nware", "Com"},
               {"Hardware", ""},     {"Hardware", "C=m"},  {"Hardware", "Co\rm"},
               {"Hardware", "[Com"}, {"Hardware", ";Com"}};
  for (const Case& c : cases) {
    EXPECT_FALSE(SetProfileValue("[Hardware]\nCom=1\n", c.section, c.key, "2").has_value())
        << c.section << "/" << c.key;
  }
}

TEST(SetProfileValue, KeepsAMegabyteLineAndGarbage) {
  std::string garbage;
  for (int i = 0; i < 2048; ++i) garbage.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
  const std::string big(1 << 20, 'y');
  const std::string before = garbage + "\n[Hardware]\nBig=" + big + "\nCom=1\n";
  std::optional<std::string> out = SetProfileValue(before, "Hardware", "Com", "3");
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->substr(0, garbage.size()), garbage);
  EXPECT_NE(out->find("Big=" + big + "\n"), std::string::npos);
  EXPECT_EQ(FindProfileValue(*out, "Hardware", "Com"), "3");
}

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

#ifndef _WIN32
// Runs `check` in a child process as an ordinary user, so permission refusals
// are real even when the suite runs as root; true when the check held.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
  if (geteuid() != 0) return check();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
    _exit(dropped && check() ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif  // _WIN32

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velarin-profile-" + std::to_string(ProcessId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "velarin.ini").string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  void WriteRaw(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string ReadRaw() {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t FilesInDir() {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileFileTest, MissingFileIsNoValueAndIsCreatedOnFirstWrite) {
  EXPECT_EQ(ReadProfileString(path_, "Hardware", "Com"), "");
  EXPECT_FALSE(fs::exists(path_));
  ASSERT_TRUE(WriteProfileString(path_, "Hardware", "Com", "3"));
  ASSERT_TRUE(WriteProfileString(path_, "Hardware", "Ecu", "3"));
  EXPECT_EQ(ReadRaw(), testing::NativeLines("[Hardware]\nCom=3\nEcu=3\n"));
  EXPECT_EQ(ReadProfileString(path_, "hardware", "ECU"), "3");
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_F(ProfileFileTest, EmptyPathIsNoFile) {
  EXPECT_EQ(ReadProfileString("", "Hardware", "Com"), "");
  EXPECT_FALSE(WriteProfileString("", "Hardware", "Com", "1"));
}

TEST_F(ProfileFileTest, DamagedFileKeepsItsOtherKeys) {
  std::string garbage;
  for (int i = 0; i < 3000; ++i) garbage.push_back(static_cast<char>((i * 97 + 3) & 0xFF));
  const std::string big(1 << 20, 'z');
  const std::string before = "[Keep]\rA=1\r" + garbage + "\rHuge=" + big + "\r";
  WriteRaw(before);
  EXPECT_EQ(ReadProfileString(path_, "Hardware", "Com"), "");
  ASSERT_TRUE(WriteProfileString(path_, "Hardware", "Com", "2"));
  const std::string after = ReadRaw();
  EXPECT_EQ(after.substr(0, before.size()), before);
  EXPECT_EQ(ReadProfileString(path_, "Keep", "A"), "1");
  EXPECT_EQ(ReadProfileString(path_, "Hardware", "Com"), "2");
}

// Mode bits and an ordinary user to test them with: POSIX only (Windows has ACLs).
#ifndef _WIN32
TEST_F(ProfileFileTest, UnreadableFileIsNeitherReadNorReplaced) {
  WriteRaw("[Hardware]\nCom=5\nOther=kept\n");
  fs::permissions(dir_, fs::perms::all);  // the folder is writable: only the file is closed
  fs::permissions(path_, fs::perms::none);
  EXPECT_TRUE(AsUnprivilegedUser([&] {
    return ReadProfileString(path_, "Hardware", "Com").empty() &&
           !WriteProfileString(path_, "Hardware", "Com", "6");
  }));
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadRaw(), "[Hardware]\nCom=5\nOther=kept\n");
  EXPECT_EQ(FilesInDir(), 1u);
}

#endif  // _WIN32

TEST_F(ProfileFileTest, DirectoryInTheWayIsNoValue) {
  fs::create_directories(path_);
  EXPECT_EQ(ReadProfileString(path_, "Hardware", "Com"), "");
  EXPECT_FALSE(WriteProfileString(path_, "Hardware", "Com", "1"));
  EXPECT_TRUE(fs::is_directory(path_));
}

#ifndef _WIN32  // mode bits
TEST_F(ProfileFileTest, ReadOnlyFolderRefusesSilentlyAndLeavesNoTemporary) {
  WriteRaw("[Hardware]\nCom=5\n");
  fs::permissions(path_, fs::perms::all);  // the file is writable: only the folder is closed
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  EXPECT_TRUE(
      AsUnprivilegedUser([&] { return !WriteProfileString(path_, "Hardware", "Com", "6"); }));
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(ReadRaw(), "[Hardware]\nCom=5\n");
  EXPECT_EQ(FilesInDir(), 1u);
}
#endif  // _WIN32

TEST_F(ProfileFileTest, OversizedFileCountsAsUnreadable) {
  WriteRaw("[Hardware]\nCom=5\n");
  fs::resize_file(path_, kProfileFileMax + 1);  // sparse: the tail reads as NUL bytes
  EXPECT_EQ(ReadProfileString(path_, "Hardware", "Com"), "");
  EXPECT_FALSE(WriteProfileString(path_, "Hardware", "Com", "6"));
  EXPECT_EQ(fs::file_size(path_), kProfileFileMax + 1);
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ProfileFileTest, MissingFolderRefusesWithoutCrashing) {
  const std::string nowhere = (dir_ / "no" / "such" / "folder" / "v.ini").string();
  EXPECT_FALSE(WriteProfileString(nowhere, "Hardware", "Com", "1"));
  EXPECT_EQ(ReadProfileString(nowhere, "Hardware", "Com"), "");
}

TEST_F(ProfileFileTest, WriteThroughSymlinkKeepsTheLink) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need administrator rights or developer mode on Windows";
#endif
  const std::string real = (dir_ / "real.ini").string();
  std::ofstream(real, std::ios::binary) << "[Hardware]\nCom=1\n";
  fs::create_symlink(real, path_);
  ASSERT_TRUE(WriteProfileString(path_, "Hardware", "Com", "4"));
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(ReadProfileString(real, "Hardware", "Com"), "4");
}

#ifndef _WIN32  // mode bits
TEST_F(ProfileFileTest, KeepsFilePermissions) {
  WriteRaw("[Hardware]\nCom=1\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteProfileString(path_, "Hardware", "Com", "2"));
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif  // _WIN32

}  // namespace
}  // namespace velarin
