// SPDX-License-Identifier: GPL-3.0-or-later
// Text in the ANSI code page, as the earlier Windows program wrote names into its settings
// file: Windows-1252 (on Windows, the system's code page), against the UTF-8 used here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvani::base {

// A character in UTF-8 at the end of `out`; one that has no UTF-8 form (a surrogate,
// anything past U+10FFFF) as U+FFFD.
void AppendUtf8(std::string& out, char32_t code);
// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates.
bool IsUtf8(std::string_view text);
// ANSI text as UTF-8; every byte has a character.
std::string AnsiToUtf8(std::string_view text);
// UTF-8 text in ANSI, or nothing when a character has no ANSI form.
std::optional<std::string> Utf8ToAnsi(std::string_view text);

}  // namespace korvani::base
