// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace korvani::base {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the user does to the log between two writes, and where each write must end up.
struct BetweenWritesCase {
  const char* Name;
  std::function<void(const fs::path& log, const fs::path& aside)> Act;
  const char* InLog;
  const char* Aside;  // the file the user moved the log to, or another name written to
  bool WriteAside = false;
};

std::ostream& operator<<(std::ostream& out, const BetweenWritesCase& c) {
  return out << c.Name;
}

class AppendingFileTest : public ::testing::TestWithParam<BetweenWritesCase> {
 protected:
  void SetUp() override {
    // A folder of the case's own: ctest runs the cases as processes side by side, and under
    // the sanitizers two of them may well have the same addresses.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    Folder = fs::temp_directory_path() / ("korvani-files-" + name);
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  void TearDown() override {
    File.Close();
    fs::remove_all(Folder);
  }

  fs::path Folder;
  AppendingFile File;
};

TEST_P(AppendingFileTest, EachWriteGoesWhereTheNameLeadsThen) {
  const BetweenWritesCase& c = GetParam();
  const fs::path log = Folder / "log.txt";
  const fs::path aside = Folder / "aside.txt";
  ASSERT_TRUE(File.Append(log.string(), "first "));
  c.Act(log, aside);
  ASSERT_TRUE(File.Append((c.WriteAside ? aside : log).string(), "second"));
  EXPECT_EQ(Read(log), c.InLog);
  EXPECT_EQ(Read(aside), c.Aside);
}

INSTANTIATE_TEST_SUITE_P(
    UserActions, AppendingFileTest,
    ::testing::Values(
        BetweenWritesCase{"Nothing", [](const fs::path&, const fs::path&) {}, "first second", ""},
        BetweenWritesCase{"Read", [](const fs::path& log, const fs::path&) { (void)Read(log); },
                          "first second", ""},
        BetweenWritesCase{"Cleared",
                          [](const fs::path& log, const fs::path&) { ReplaceFile(log.string(), {}); },
                          "second", ""},
        BetweenWritesCase{"Deleted", [](const fs::path& log, const fs::path&) { fs::remove(log); }, "second",
                          ""},
        BetweenWritesCase{"Moved", [](const fs::path& log, const fs::path& aside) { fs::rename(log, aside); },
                          "second", "first "},
        BetweenWritesCase{"ReplacedByAnother",
                          [](const fs::path& log, const fs::path& aside) {
                            ReplaceFile(aside.string(), "other ");
                            fs::rename(aside, log);
                          },
                          "other second", ""},
        BetweenWritesCase{"NameChanged", [](const fs::path&, const fs::path&) {}, "first ", "second", true}));

// Kept text is written before any other, and to the name it was kept for.
TEST(AppendingFileKeepingTest, KeptTextIsWrittenInOrderOnceAnotherNameOrTheLimitComes) {
  const fs::path folder =
      fs::temp_directory_path() /
      ("korvani-files-kept-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string log = (folder / "log.txt").string();
  const std::string other = (folder / "other.txt").string();
  {
    AppendingFile file;
    EXPECT_TRUE(file.AppendLater(log, "one "));
    EXPECT_FALSE(fs::exists(log));
    EXPECT_TRUE(file.Append(log, "two "));
    EXPECT_EQ(Read(log), "one two ");
    file.AppendLater(log, "three ");
    file.AppendLater(other, "four ");
    EXPECT_EQ(Read(log), "one two three ");
    EXPECT_EQ(Read(other), "");
    file.AppendLater(other, std::string(AppendingFile::kKeepAtMost, 'x'));
    EXPECT_EQ(Read(other).size(), 5 + AppendingFile::kKeepAtMost);
    EXPECT_EQ(Read(other).substr(0, 6), "four x") << "what was kept goes first";
    EXPECT_FALSE(file.Keeps());
    file.AppendLater(log, "five");
  }  // and when it is let go
  EXPECT_EQ(Read(log), "one two three five");
  fs::remove_all(folder);
}

TEST(AppendingFileFailureTest, AMissingFolderFailsWithAReasonUntilItExists) {
  const fs::path folder =
      fs::temp_directory_path() /
      ("korvani-files-missing-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(folder);
  AppendingFile file;
  std::string why;
  EXPECT_FALSE(file.Append((folder / "log.txt").string(), "lost", &why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(file.Append("", "lost", &why));
  EXPECT_EQ(why, "no file name");
  fs::create_directories(folder);
  EXPECT_TRUE(file.Append((folder / "log.txt").string(), "kept"));
  file.Close();
  EXPECT_EQ(Read(folder / "log.txt"), "kept");
  fs::remove_all(folder);
}

// A session's suffix goes before the name's extension, never into a folder's name.
TEST(WithNameSuffixTest, GoesBeforeTheExtensionOfTheNameAlone) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"ASCII_logfile.log", "ASCII_logfile-COM201.log"},
      {"/tmp/run.d/trace", "/tmp/run.d/trace-COM201"},
      {"C:\\logs.old\\a.b.txt", "C:\\logs.old\\a.b-COM201.txt"},
      {".log", ".log-COM201"},
      {"", "-COM201"},
  };
  for (const auto& [name, named] : cases) {
    EXPECT_EQ(WithNameSuffix(name, "-COM201"), named) << name;
  }
}

}  // namespace
}  // namespace korvani::base
