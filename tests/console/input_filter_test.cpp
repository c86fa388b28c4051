// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/input_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvani::console {
namespace {

// Records what the filter lets through, a repeat written as {N*glyph}.
class RecordingSink final : public InputFilter::Sink {
 public:
  void Pass(std::string_view bytes) override { Seen.append(bytes); }
  void Repeat(std::string_view glyph, int count) override {
    Seen += "{" + std::to_string(count) + "*" + std::string(glyph) + "}";
  }
  void CursorRestored() override { Seen += "{restored}"; }
  void TerminalReset() override { Seen += "{reset}"; }
  std::string Seen;
};

struct FilterCase {
  const char* Name;
  std::vector<std::string> Chunks;
  std::string Passed;
};

class InputFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(InputFilterTest, LetsThroughWhatTheLibraryHandlesSafely) {
  // U+0301 and U+0300 join; nothing else does.
  InputFilter filter([](char32_t code) { return code == 0x301 || code == 0x300; });
  RecordingSink sink;
  for (const std::string& chunk : GetParam().Chunks) {
    filter.Filter(chunk, sink);
  }
  EXPECT_EQ(sink.Seen, GetParam().Passed);
}

const std::string kMark = "\xCC\x81";

INSTANTIATE_TEST_SUITE_P(
    Bytes, InputFilterTest,
    ::testing::Values(
        FilterCase{"plainText", {"ab\r\n", "\x1b[31mc"}, "ab\r\n\x1b[31mc"},
        FilterCase{"marksBoundedAcrossChunks",
                   {"e", kMark, kMark, kMark, kMark, kMark, kMark, kMark},
                   "e" + kMark + kMark + kMark + kMark + kMark},
        FilterCase{"loneMarkDropped", {"e\r" + kMark + "x"}, "e\rx"},
        FilterCase{"markAfterASequenceDropped", {"e\x1b[C" + kMark}, "e\x1b[C"},
        FilterCase{"sequenceOnlyWhole", {"\x1b[3", "1", "m"}, "\x1b[31m"},
        FilterCase{"controlInsideASequenceActsAtOnce", {"\x1b[3\r1m"}, "\r\x1b[31m"},
        FilterCase{"cancelDropsTheSequence", {"\x1b[3\x18x"}, "\x18x"},
        FilterCase{"sixteenParametersPass",
                   {"\x1b[" + std::string(15, ';') + "m"},
                   "\x1b[" + std::string(15, ';') + "m"},
        FilterCase{
            "seventeenParametersDropped", {"\x1b[1" + std::string(8, ';') + std::string(8, ':') + "mx"}, "x"},
        FilterCase{"overlongSequenceDropped", {"\x1b[" + std::string(200, '1') + "mx"}, "x"},
        FilterCase{"stringsPass", {"\x1b]0;t\xC3\xA9\x07x"}, "\x1b]0;t\xC3\xA9\x07x"},
        // Inside a string, too, nothing reaches libvterm it could take as text it mishandles:
        // it knows no SOS, PM or APC string, and treats what follows as text.
        FilterCase{"stringsChecked",
                   {"\x1b]0;\xC2\x85" + kMark + "\x07", "\x1bX\xC2\x85\x1b\\"},
                   "\x1b]0;\uFFFD\x07\x1bX\uFFFD\x1b\\"},
        FilterCase{"repeatDoneHere", {"ab\x1b[3b"}, "ab{3*b}"},
        FilterCase{"repeatDefaultsToOne", {"a\x1b[b\x1b[0b"}, "a{1*a}{1*a}"},
        FilterCase{"repeatCapped", {"a\x1b[9999999999b"}, "a{65535*a}"},
        FilterCase{"repeatWithAMarkerDropped", {"a\x1b[?3b\x1b[3 b"}, "a"},
        FilterCase{"repeatAfterADesignationDropped", {"a\x1b)[b\x1b(]x\x07"}, "a\x1b(]x\x07"},
        FilterCase{"repeatAfterResetDropped",
                   {"a\x1b"
                    "c\x1b[3b"},
                   "a\x1b"
                   "c{reset}"},
        FilterCase{"repeatInsideAStringCaught", {"a\x1b]0;\x1b[3b"}, "a\x1b]0;{3*a}"},
        FilterCase{"c1AsTextReplaced",
                   {"A\xC2\x85",
                    "\xC2\x9B"
                    "5b"},
                   "A\uFFFD\uFFFD"
                   "5b"},
        FilterCase{"rawC1Replaced",
                   {"\x9B"
                    "5b"},
                   "\uFFFD"
                   "5b"},
        FilterCase{"splitCharacterKept", {"\xE2\x82", "\xAC"}, "\u20AC"},
        FilterCase{"brokenCharacterReplaced", {"\xE2\x82(", "\xED\xA0\x80"}, "\uFFFD(\uFFFD\uFFFD\uFFFD"}),
    [](const ::testing::TestParamInfo<FilterCase>& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace korvani::console
