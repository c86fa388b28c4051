// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/line_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace korvani::ports {
namespace {

TEST(LineSettingsTest, TypedSpeedsAreWholeNumbersInRange) {
  const struct {
    const char* Typed;
    std::int32_t Baud;  // 0: refused
  } cases[] = {{"115200", 115200},
               {" 250000 ", 250000},
               {"74880", 74880},
               {"1", 1},
               {"100000000", 100000000},
               {"100000001", 0},
               {"0", 0},
               {"", 0},
               {"-9600", 0},
               {"9600.5", 0},
               {"96OO", 0},
               {"9999999999", 0}};
  for (const auto& c : cases) {
    const std::optional<std::int32_t> baud = ParseBaud(c.Typed);
    EXPECT_EQ(baud.value_or(0), c.Baud) << '"' << c.Typed << '"';
  }
}

TEST(LineSettingsTest, FormatsAreDataBitsParityAndStopBits) {
  const struct {
    const char* Text;
    const char* Settings;  // nullptr: refused, the line unchanged
  } cases[] = {{"8N1", "9600,N,8,1"}, {"7e2", "9600,E,7,2"}, {"5M1.5", "9600,M,5,1.5"}, {"6S1", "9600,S,6,1"},
               {"8O2", "9600,O,8,2"}, {"9N1", nullptr},      {"4N1", nullptr},          {"8X1", nullptr},
               {"8N3", nullptr},      {"8N1.0", nullptr},    {"8N", nullptr},           {"", nullptr}};
  for (const auto& c : cases) {
    LineSettings line;
    line.Baud = 9600;
    const bool taken = ParseFormat(c.Text, line);
    EXPECT_EQ(taken, c.Settings != nullptr) << c.Text;
    EXPECT_EQ(SettingsText(line), c.Settings != nullptr ? c.Settings : "9600,N,8,1") << c.Text;
  }
}

TEST(LineSettingsTest, CommandLineOptionsTakeTheirValuesOrSayWhatTheyAccept) {
  const struct {
    const char* Option;
    const char* Value;
    const char* Refusal;  // a part of the message; nullptr when taken
  } cases[] = {{"--baud", "115200", nullptr},
               {"--baud", "fast", "--baud fast: the speed is a whole number"},
               {"--format", "8N2", nullptr},
               {"--format", "8Q1", "--format 8Q1: the format is data bits 5 to 8"},
               {"--flow", "RTSCTS", nullptr},
               {"--flow", "hardware", "--flow hardware: flow control is none, rtscts"},
               {"--dtr", "off", nullptr},
               {"--rts", "maybe", "--rts maybe: the line's state on open is on or off"}};
  LineOptions options;
  for (const auto& c : cases) {
    const std::string refusal = TakeLineOption(c.Option, c.Value, options);
    if (c.Refusal == nullptr) {
      EXPECT_EQ(refusal, "") << c.Option << ' ' << c.Value;
    } else {
      EXPECT_EQ(refusal.rfind(c.Refusal, 0), 0U) << refusal;
    }
  }
  LineSettings line;
  ApplyLineOptions(options, line);
  EXPECT_EQ(SettingsText(line), "115200,N,8,2");
  EXPECT_EQ(line.Flow, FlowControl::RtsCts);
  EXPECT_FALSE(line.DtrOnOpen);
  EXPECT_TRUE(line.RtsOnOpen);  // "maybe" was refused and changed nothing
}

TEST(LineSettingsTest, TheSettingsFileGetsTheNearestQuickChoice) {
  const struct {
    std::int32_t Baud;
    std::int16_t Index;
  } speeds[] = {{50, 0},    {300, 0},   {400, 0},   {500, 1},    {9600, 5},
                {14400, 6}, {28800, 7}, {57600, 7}, {4000000, 7}};
  for (const auto& c : speeds) {
    EXPECT_EQ(NearestQuickBaudIndex(c.Baud), c.Index) << c.Baud;
  }
  const struct {
    const char* Format;
    std::int16_t Nearest;
    std::int16_t Exact;
  } formats[] = {{"8N1", 0, 0},  {"7E1", 1, 1},  {"7O1", 2, 2},  {"8E1", 3, 3},
                 {"8O1", 4, 4},  {"8N2", 0, -1}, {"7N1", 0, -1}, {"5E1", 1, -1},
                 {"8M1", 0, -1}, {"6O2", 2, -1}, {"8E2", 3, -1}};
  for (const auto& c : formats) {
    LineSettings line;
    ASSERT_TRUE(ParseFormat(c.Format, line));
    EXPECT_EQ(NearestQuickFormatIndex(line), c.Nearest) << c.Format;
    EXPECT_EQ(QuickFormatIndex(line), c.Exact) << c.Format;
  }
}

TEST(LineSettingsTest, TheLineSettingsFileReadsBackWhatWasWrittenAndNothingDamaged) {
  LineSettingsRecord written;
  written.Line.Baud = 250000;
  ASSERT_TRUE(ParseFormat("7O2", written.Line));
  written.Line.Flow = FlowControl::XonXoff;
  written.Line.DtrOnOpen = false;
  written.BaudIndexWritten = 7;
  written.FormatIndexWritten = 2;
  const std::string text = FormatLineSettingsFile(written);
  LineSettingsRecord read;
  ASSERT_TRUE(ReadLineSettingsFile(text, read));
  EXPECT_EQ(read.Line, written.Line);
  EXPECT_EQ(read.BaudIndexWritten, 7);
  EXPECT_EQ(read.FormatIndexWritten, 2);

  // Windows line ends and a key of a later version are fine; anything missing or wrong is not.
  std::string crlf;
  for (const char c : text + "colour=blue\n") {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  EXPECT_TRUE(ReadLineSettingsFile(crlf, read));
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"baud=250000", "baud=fast"},
                                 {"baud=250000\n", ""},
                                 {"parity=O", "parity=Q"},
                                 {"stop_bits=2", "stop_bits=3"},
                                 {"flow=xonxoff", "flow=maybe"},
                                 {"dtr_on_open=off", "dtr_on_open="},
                                 {"quick_baud=7", "quick_baud=8"},
                                 {"quick_format=2", "quick_format=5"}}) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    LineSettingsRecord untouched = read;
    EXPECT_FALSE(ReadLineSettingsFile(damaged, untouched)) << from << " -> " << to;
    EXPECT_EQ(untouched.Line, read.Line);
  }
  EXPECT_FALSE(ReadLineSettingsFile(text.substr(0, text.size() / 2), read));
  EXPECT_FALSE(ReadLineSettingsFile("", read));
}

// The window lists the choices and reads the value back by position: every position of
// every list gives a line that shows at that same position, and the speed is kept.
TEST(LineSettingsTest, EveryChoiceShownIsTheChoiceRead) {
  LineSettings base;
  base.Baud = 250000;
  for (int bits = 0; bits < static_cast<int>(kDataBitsChoices.size()); ++bits) {
    for (int parity = 0; parity < static_cast<int>(kParityChoices.size()); ++parity) {
      for (int stop = 0; stop < static_cast<int>(kStopBitsChoices.size()); ++stop) {
        for (int flow = 0; flow < static_cast<int>(kFlowChoices.size()); ++flow) {
          for (int lines = 0; lines < static_cast<int>(kLinesOnOpenChoices.size()); ++lines) {
            const LineSettings line = WithChoices(base, bits, parity, stop, flow, lines);
            EXPECT_EQ(ChoicePositions(line), (std::array<int, 5>{bits, parity, stop, flow, lines}));
            EXPECT_EQ(line.Baud, 250000);
          }
        }
      }
    }
  }
  LineSettings odd;
  odd.StopBits = "3";  // no choice: shown as none
  EXPECT_EQ(ChoicePositions(odd)[2], -1);
}

}  // namespace
}  // namespace korvani::ports
