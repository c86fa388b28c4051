// SPDX-License-Identifier: GPL-3.0-or-later
// What a script drives: one session's port, its board's screen and soft buttons, its line. The
// session gives the script its own implementation (in a window or headless); the tests a fake.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvani::script {

// `line{...}` as the script gave it; a field left out stays as the port has it.
struct LineRequest {
  std::optional<long long> Baud;
  std::optional<std::string> Format;  // "8N1" and the like
  std::optional<std::string> Flow;    // "none", "rtscts", "xonxoff"
  std::optional<bool> Dtr;
  std::optional<bool> Rts;
};

// A place on the board's screen, counted from 1 as Lua counts.
struct ScreenPlace {
  int Row = 0;
  int Column = 0;
};

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  // The bytes as they stand; false when the port did not take them.
  virtual bool Send(std::string_view bytes) = 0;
  // What sendline() ends a line with: "\r\n", "\r" or "\n".
  [[nodiscard]] virtual std::string LineEnding() const = 0;
  // The screen's row as text, or nothing when there is no such row.
  [[nodiscard]] virtual std::optional<std::string> ScreenRow(int row) const = 0;
  // Where the text first shows: on the screen's rows, then on the soft buttons' captions.
  [[nodiscard]] virtual std::optional<ScreenPlace> FindOnScreen(std::string_view text) const = 0;
  // The colour of the character at the place as 0xRRGGBB, or nothing off the screen.
  [[nodiscard]] virtual std::optional<long long> ColourAt(ScreenPlace place) const = 0;
  // A soft button pressed and released, by its caption or its number; "" when it was,
  // else why not.
  virtual std::string Press(std::string_view caption) = 0;
  virtual std::string Press(int number) = 0;
  // The board's number prompt answered; "" when it was, else why not.
  virtual std::string Enter(std::string_view value) = 0;
  // The line changed as asked; "" when it was, else why not (a speed refused, a bad format).
  virtual std::string SetLine(const LineRequest& request) = 0;
  // A break held for the time given; "" when sent, else why not.
  virtual std::string SendBreak(double seconds) = 0;
  // A line of the script's output (log()), without its line ending.
  virtual void Output(std::string_view text) = 0;
};

}  // namespace korvani::script
