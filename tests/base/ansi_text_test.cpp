// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ansi_text.h"

#include <gtest/gtest.h>

namespace korvani::base {
namespace {

// What counts as UTF-8 decides whether a settings line is read as ANSI: a malformed form
// taken for UTF-8 would show an old file's names mangled.
TEST(AnsiTextTest, OnlyWellFormedUtf8CountsAsUtf8) {
  const struct {
    const char* Text;
    bool Utf8;
  } cases[] = {{"plain", true},
               {"M\xC3\xBCller", true},
               {"\xE2\x82\xAC", true},
               {"\xF0\x9F\x98\x80", true},
               {"M\xFCller", false},         // Windows-1252
               {"\xC0\x80", false},          // an overlong NUL
               {"\xE0\x80\xAF", false},      // an overlong slash
               {"\xED\xA0\x80", false},      // a surrogate
               {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
               {"\xC3", false},              // cut short
               {"\x80", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsUtf8(c.Text), c.Utf8) << c.Text;
  }
}

#ifndef _WIN32  // on Windows the system's code page decides
TEST(AnsiTextTest, Windows1252BothWays) {
  EXPECT_EQ(AnsiToUtf8("\x80 \x81 \x9F \xE9"), "\xE2\x82\xAC \xC2\x81 \xC5\xB8 \xC3\xA9");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC \xC2\x81 \xC5\xB8 \xC3\xA9"), "\x80 \x81 \x9F \xE9");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x86\x92"), std::nullopt);  // an arrow has no ANSI form
}
#endif

}  // namespace
}  // namespace korvani::base
