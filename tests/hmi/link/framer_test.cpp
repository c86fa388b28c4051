// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvani::hmi::link {
namespace {

// A message as the board sends it, from a list of any length.
std::string Msg(char command, const std::vector<std::string>& args = {}) {
  std::string message{kSoh, command};
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) {
      message.push_back(kStx);
    }
    message += args[i];
  }
  message.push_back(kEtx);
  return message;
}

struct Call {
  char Command;
  std::vector<std::string> Args;  // up to the last non-empty one
  bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
  out << call.Command << '(';
  for (const auto& arg : call.Args) {
    out << '[' << arg << ']';
  }
  return out << ')';
}

class FramerTest : public ::testing::Test {
 protected:
  FramerTest() {
    for (const CommandInfo& info : kCommands) {
      Link.Commands().Bind(info.Command,
                           [this, command = info.Command](const Arguments& args) { Record(command, args); });
    }
  }

  void Record(char command, const Arguments& args) {
    std::size_t used = args.size();
    while (used > 0 && args[used - 1].empty()) {
      --used;
    }
    Calls.push_back({command, {args.begin(), args.begin() + static_cast<std::ptrdiff_t>(used)}});
  }

  int Resets = 0;
  std::vector<Call> Calls;
  Framer Link{[this] { ++Resets; }};
};

TEST_F(FramerTest, RunsCompleteMessageWithItsArguments) {
  Link.Receive(Msg('F', {"2", "5"}));
  EXPECT_EQ(Calls, (std::vector<Call>{{'F', {"2", "5"}}}));
  EXPECT_EQ(Link.HMIRxBuffer(), "");
}

TEST_F(FramerTest, EmptyFirstArgumentLeavesOnlyTheSecond) {
  Link.Receive(std::string{kSoh, 'F', kStx, '5', kEtx});
  ASSERT_EQ(Calls.size(), 1U);
  EXPECT_EQ(Calls[0].Args, (std::vector<std::string>{"", "5"}));
}

TEST_F(FramerTest, MessageSplitAcrossChunksRunsWhenEtxArrives) {
  const std::string message = Msg('@', {"Hello"});
  Link.Receive(message.substr(0, 4));
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(Link.HMIRxBuffer(), message.substr(0, 4));
  Link.Receive(message.substr(4));
  EXPECT_EQ(Calls, (std::vector<Call>{{'@', {"Hello"}}}));
}

TEST_F(FramerTest, ThreeMessagesInOneChunkRunInOrderAndGarbageIsIgnored) {
  Link.Receive("noise" + Msg('K', {"1", "2", "3"}) + "\r\nmore noise\x02" + Msg('R') + Msg('@', {"x"}) +
               "tail");
  EXPECT_EQ(Calls, (std::vector<Call>{{'K', {"1", "2", "3"}}, {'R', {}}, {'@', {"x"}}}));
  EXPECT_EQ(Link.HMIRxBuffer(), "tail");
}

TEST_F(FramerTest, LostEtxMakesNextMessagePartOfTheArguments) {
  Link.Receive(std::string{kSoh, '@', 'a'} + Msg('@', {"b"}));
  ASSERT_EQ(Calls.size(), 1U);
  EXPECT_EQ(Calls[0], (Call{'@', {std::string{'a', kSoh, '@', 'b'}}}));
}

TEST_F(FramerTest, ElevenArgumentsAreAcceptedAndTwelveAbandonTheMessage) {
  const std::vector<std::string> eleven = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
  std::vector<std::string> twelve = eleven;
  twelve.emplace_back("11");

  Link.Receive(Msg('O', eleven));
  ASSERT_EQ(Calls.size(), 1U);
  EXPECT_EQ(Calls[0].Args, eleven);

  Calls.clear();
  Link.Receive(Msg('O', twelve));
  EXPECT_TRUE(Calls.empty());
}

TEST_F(FramerTest, FailureEndsTheRunAndLaterMessagesWaitForTheNextAppend) {
  Link.Commands().Bind('R', [](const Arguments&) { throw MessageAbandoned("bad"); });
  Link.Receive(Msg('@', {"a"}) + Msg('R') + Msg('@', {"b"}));
  EXPECT_EQ(Calls, (std::vector<Call>{{'@', {"a"}}}));
  Link.Receive("");
  EXPECT_EQ(Calls, (std::vector<Call>{{'@', {"a"}}, {'@', {"b"}}}));
}

TEST_F(FramerTest, IgnoresUnknownAndUnboundCommands) {
  Link.Receive(Msg('I', {"x"}) + Msg('J') + Msg('M') + Msg('N') + Msg('P') + Msg('s') + Msg('z') +
               std::string{kSoh, kEtx} + std::string{kEtx});
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(Resets, 0);

  Framer unbound{[this] { ++Resets; }};
  unbound.Receive(Msg('S'));
  EXPECT_EQ(Resets, 0);
  EXPECT_TRUE(unbound.IntroShowing());
}

TEST_F(FramerTest, FirstScreenCommandEndsTheIntroWithAReset) {
  Link.Receive(Msg('A') + Msg('B', {"x"}) + Msg('C') + Msg('D') + Msg('Y', {"a", "b"}) + Msg('Z', {"a"}) +
               Msg('p', {"hi"}) + Msg('q', {"hi"}) + Msg('r'));
  EXPECT_EQ(Resets, 0);
  EXPECT_TRUE(Link.IntroShowing());

  Link.Receive(Msg('@', {"Hi"}));
  EXPECT_EQ(Resets, 1);
  EXPECT_FALSE(Link.IntroShowing());
  Link.Receive(Msg('@', {"again"}));
  EXPECT_EQ(Resets, 1);
}

TEST_F(FramerTest, LongChunkRunsEveryCompleteMessage) {
  std::string chunk;
  for (int i = 0; i < 500; ++i) {
    chunk += Msg('@', {std::to_string(i)});
  }
  ASSERT_GT(chunk.size(), 2000U);
  Link.Receive(chunk);
  ASSERT_EQ(Calls.size(), 500U);
  EXPECT_EQ(Calls.front().Args[0], "0");
  EXPECT_EQ(Calls.back().Args[0], "499");
}

TEST_F(FramerTest, HundredThousandByteChunkRunsAllItsMessages) {
  std::string chunk;
  int sent = 0;
  while (chunk.size() < 100000) {
    chunk += std::string(40, 'x') + Msg('@', {std::to_string(sent++)});
  }
  Link.Receive(chunk);
  EXPECT_EQ(Calls.size(), static_cast<std::size_t>(sent));
}

TEST_F(FramerTest, PartialMessageStartingOverAThousandCharactersBackLosesItsStart) {
  Link.Receive(std::string{kSoh, '@'} + std::string(1200, 'y'));
  EXPECT_EQ(Link.HMIRxBuffer().size(), kRxBufferLimit);
  Link.Receive(std::string{kEtx});
  EXPECT_TRUE(Calls.empty());
}

TEST_F(FramerTest, PartialMessageInsideTheLimitSurvivesALongNoisyWait) {
  // The unconsumed tail is kept to its last 1000 characters, measured after each chunk.
  Link.Receive(std::string(5000, 'n') + std::string{kSoh, '@', 'o', 'k'});
  Link.Receive(std::string(900, 'k') + std::string{kEtx});
  ASSERT_EQ(Calls.size(), 1U);
  EXPECT_EQ(Calls[0].Args[0], "ok" + std::string(900, 'k'));
}

struct ArgumentCase {
  const char* Name;
  std::string Rest;
  std::string Expected;
  std::string RestAfter;
};

std::ostream& operator<<(std::ostream& out, const ArgumentCase& c) {
  return out << c.Name;
}

class NextArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(NextArgumentTest, TakesTextUpToTheSeparator) {
  std::string_view rest = GetParam().Rest;
  EXPECT_EQ(Framer::NextArgument(rest), GetParam().Expected);
  EXPECT_EQ(rest, GetParam().RestAfter);
}

INSTANTIATE_TEST_SUITE_P(Separators, NextArgumentTest,
                         ::testing::Values(ArgumentCase{"UpToStx",
                                                        "ab\x02"
                                                        "cd\x03",
                                                        "ab", "cd\x03"},
                                           ArgumentCase{"UpToEtx", "cd\x03", "cd", ""},
                                           ArgumentCase{"StxFirstIsEmpty",
                                                        "\x02"
                                                        "cd\x03",
                                                        "", "cd\x03"},
                                           ArgumentCase{"EtxOnlyIsEmpty", "\x03", "", ""},
                                           ArgumentCase{"NoSeparatorLosesOneCharacter", "ab", "", "b"},
                                           ArgumentCase{"SohIsOrdinaryText", "\x01x\x03", "\x01x", ""}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.Name); });

TEST(CommandTableTest, BindsOnlyCommandsOfTheTable) {
  CommandTable table;
  EXPECT_TRUE(table.Bind('@', [](const Arguments&) {}));
  EXPECT_FALSE(table.Bind('I', [](const Arguments&) {}));
  EXPECT_FALSE(table.Bind('s', [](const Arguments&) {}));
  ASSERT_NE(table.Find('@'), nullptr);
  EXPECT_TRUE(table.Find('@')->Info->LeaveIntro);
  EXPECT_EQ(table.Find('S'), nullptr);  // known, but nothing bound yet
}

}  // namespace
}  // namespace korvani::hmi::link
