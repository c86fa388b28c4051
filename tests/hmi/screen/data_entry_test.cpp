// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/data_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::hmi::screen {
namespace {

class DataEntryTest : public ::testing::Test {
 protected:
  void Ask(const std::string& prompt, const std::string& minimum, const std::string& maximum,
           const std::string& tag) {
    link::Arguments args;
    args[0] = prompt;
    args[1] = minimum;
    args[2] = maximum;
    args[3] = tag;
    Subject.AskForNumber(args);
  }
  void Type(const std::string& keys) {
    for (const char key : keys) {
      if (Subject.FilterKey(static_cast<unsigned char>(key)) && key != '\r') {
        View.EntryBox.push_back(key);
      }
    }
  }

  fakes::FakePanelView View;
  fakes::FakeDialogs Dialogs;
  std::vector<std::string> Sent;
  DataEntry Subject{View, Dialogs, [this](std::string_view m) { Sent.emplace_back(m); }};
};

TEST_F(DataEntryTest, PromptShowsTheLimitsOnASecondLine) {
  Ask("Set speed", " 10 ", "250", "SP");
  EXPECT_EQ(View.EntryPrompt, "Set speed\r\nMinimum 10     Maximum 250");
  EXPECT_TRUE(View.EntryShown);
  EXPECT_TRUE(View.EntryFocused);
  Ask("Any value", "", "", "AV");
  EXPECT_EQ(View.EntryPrompt, "Any value");
}

TEST_F(DataEntryTest, OnlyDigitsCanBeTypedAndEnterActsAsOk) {
  Ask("Set speed", "10", "250", "SP");
  Type("-1a2.5");
  EXPECT_EQ(View.EntryBox, "125");
  EXPECT_TRUE(Subject.FilterKey(8));  // backspace goes to the box
  Type("\r");
  EXPECT_EQ(Sent, (std::vector<std::string>{"SP\x05"
                                            "125\x04"}));
  EXPECT_FALSE(View.EntryShown);
}

TEST_F(DataEntryTest, LimitsAreInclusiveAndRefusalsBeep) {
  Ask("Set speed", "10", "250", "SP");
  View.EntryBox = "10";
  Subject.Accept();
  Ask("Set speed", "10", "250", "SP");
  View.EntryBox = "250";
  Subject.Accept();
  EXPECT_EQ(Sent, (std::vector<std::string>{"SP\x05"
                                            "10\x04",
                                            "SP\x05"
                                            "250\x04"}));

  Ask("Set speed", "10", "250", "SP");
  View.EntryBox = "9";
  Subject.Accept();
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Text, "That input is less than the minimum allowed, 10\r\nPlease try again");
  EXPECT_EQ(View.EntryBox, "");
  EXPECT_TRUE(View.EntryShown);

  View.EntryBox = "251";
  Subject.Accept();
  EXPECT_EQ(Dialogs.Boxes.back().Text,
            "That input is more than the maximum allowed, 250\r\nPlease try again");
  EXPECT_EQ(Dialogs.Beeps, 2);
  EXPECT_EQ(Sent.size(), 2U);
}

TEST_F(DataEntryTest, OnlyNineCharactersAreCheckedButAllAreSent) {
  Ask("Count", "", "200000000", "C");
  View.EntryBox = "1234567890";
  Subject.Accept();
  EXPECT_EQ(Sent, (std::vector<std::string>{"C\x05"
                                            "1234567890\x04"}));
}

TEST_F(DataEntryTest, CancelAndEmptyBoxSendTheEmptyAnswer) {
  Ask("Set speed", "10", "250", "SP");
  View.EntryBox = "77";
  Subject.Cancel();
  EXPECT_EQ(Sent, (std::vector<std::string>{"SP\x05\x04"}));
  EXPECT_FALSE(View.EntryShown);
}

TEST_F(DataEntryTest, PastedTextThatIsNotAllDigitsIsRefusedWhole) {
  Ask("Set", "-5", "", "T");
  const struct {
    const char* Text;
    bool Allowed;
  } kPastes[] = {{"120", true}, {"  42 ", true}, {"   ", true},  {"", true},    {"1.5", false},
                 {"-5", false}, {"1e3", false},  {"1 2", false}, {"12a", false}};
  for (const auto& paste : kPastes) {
    EXPECT_EQ(Subject.EntryTextAllowed(paste.Text), paste.Allowed) << paste.Text;
  }
  View.EntryBox = "   ";  // pasted spaces only
  Subject.Accept();
  EXPECT_EQ(Sent, (std::vector<std::string>{"T\x05\x04"}));
  Ask("Set", "-5", "", "T");
  View.EntryBox = "-7";  // got past the box somehow: refused, never sent as another number
  Subject.Accept();
  EXPECT_EQ(Sent.size(), 1U);
  EXPECT_EQ(Dialogs.Beeps, 1);
  EXPECT_TRUE(View.EntryShown);
}

TEST_F(DataEntryTest, LimitThatIsNotANumberCountsAsZero) {
  Ask("Set", "", "abc", "T");
  View.EntryBox = "1";
  Subject.Accept();
  EXPECT_EQ(Dialogs.Boxes.size(), 1U);
  View.EntryBox = "0";
  Subject.Accept();
  EXPECT_EQ(Sent, (std::vector<std::string>{"T\x05"
                                            "0\x04"}));
}

}  // namespace
}  // namespace korvani::hmi::screen
