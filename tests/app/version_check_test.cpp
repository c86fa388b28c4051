// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/version_check.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace korvani::app {
namespace {

TEST(VersionCheckTest, BuildNumberComesAfterTheSecondDot) {
  EXPECT_EQ(LatestBuildFrom("1.03.0025"), 25);
  EXPECT_EQ(LatestBuildFrom("1.03.0021 released today. Enjoy."), 21);
  EXPECT_EQ(LatestBuildFrom("2.00"), -1);
  EXPECT_EQ(LatestBuildFrom("no version here"), -1);
  EXPECT_EQ(LatestBuildFrom("1.2.x"), 0);
  EXPECT_EQ(LatestBuildFrom("1.3.40000"), 40000);
}

class VersionCheckFlowTest : public ::testing::Test {
 protected:
  fakes::FakeDialogs Dialogs;
  std::vector<std::string> Requests;
  std::function<void(std::string)> Answer;
  std::vector<std::string> Opened;
  VersionCheck Subject{Dialogs,
                       [this](const std::string& url, std::function<void(std::string)> completed) {
                         Requests.push_back(url);
                         Answer = std::move(completed);
                       },
                       [this](const std::string& url) { Opened.push_back(url); },
                       "https://vexel.example.com/v"};
};

TEST_F(VersionCheckFlowTest, NewerBuildOffersTheDownloadPage) {
  Subject.Start();
  ASSERT_EQ(Requests, (std::vector<std::string>{"https://vexel.example.com/v"}));
  Dialogs.Answer = base::MessageResult::Yes;
  Answer("1.03.0021");
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "Update available");
  EXPECT_EQ(Dialogs.Boxes[0].Text,
            "There is a new version of this program available\r\nYou have version 1.3.020. The latest one is "
            "1.03.0021\r\n\r\n\r\n\r\nDo you want to download the new version?\r\nIf you click Yes you will "
            "be taken "
            "to the download page online where you can download the latest version\r\n\r\n");
  EXPECT_EQ(Opened, (std::vector<std::string>{"https://vexel.example.com/v"}));
}

TEST_F(VersionCheckFlowTest, SameOrOlderBuildsShowNothingWhateverTheMajorVersion) {
  Subject.PageArrived("1.03.0020");
  Subject.PageArrived("2.00.0019");
  Subject.PageArrived("<html>");
  EXPECT_TRUE(Dialogs.Boxes.empty());
  Dialogs.Answer = base::MessageResult::No;
  Subject.PageArrived("0.01.0099");
  EXPECT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_TRUE(Opened.empty());
}

}  // namespace
}  // namespace korvani::app
