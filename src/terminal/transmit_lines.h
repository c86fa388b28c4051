// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal's five prepared lines: typed with apostrophe-hex escapes and semicolon
// comments, previewed in hex, sent as the bytes they stand for, echoed to both logs.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/timer.h"
#include "ports/serial_port.h"
#include "terminal/terminal_logs.h"

namespace korvani::terminal {

inline constexpr int kTxLineCount = 5;

// A Tx line sent again every so many milliseconds.
struct TxRepeat {
  bool On = false;
  int Ms = 1000;
  bool operator==(const TxRepeat&) const = default;
};
inline constexpr int kLeastRepeatMs = 10;
inline constexpr int kMostRepeatMs = 3600000;

// What is appended to every sent line: nothing (as typed, the default), CR, LF or CR LF.
enum class LineEnd { None, Cr, Lf, CrLf };
inline constexpr std::array<LineEnd, 4> kLineEnds = {LineEnd::None, LineEnd::Cr, LineEnd::Lf, LineEnd::CrLf};
std::string_view LineEndBytes(LineEnd end);
// "none", "cr", "lf", "crlf": the name a settings file keeps; nothing for another text.
std::string_view LineEndName(LineEnd end);
std::optional<LineEnd> LineEndNamed(std::string_view name);

enum class LineEnd;

class TransmitView {
 public:
  virtual ~TransmitView() = default;
  virtual void SetCheckDisp(std::string_view caption) = 0;  // lblCheckDisp, plain text
  // A line's "Every" box and milliseconds.
  virtual void ShowRepeat(int index, const TxRepeat& repeat) = 0;
  // The line end chosen for sent lines.
  virtual void ShowLineEnd(LineEnd end) = 0;
};

// The repeats' own settings file, "1=on,250" a line; false when the text is not one.
std::string FormatRepeatsFile(const std::array<TxRepeat, kTxLineCount>& repeats);
bool ReadRepeatsFile(std::string_view text, std::array<TxRepeat, kTxLineCount>& repeats);

class TransmitLines {
 public:
  using TimerMaker = std::function<std::unique_ptr<base::Timer>()>;
  // `makeTimer` makes the repeats' timers, each when its line first repeats.
  TransmitLines(ports::SerialPort& port, TerminalLogs& logs, TransmitView& view, TimerMaker makeTimer = {});

  void SetLine(int index, std::string_view text);
  void UpdateCheckDisp(int index);
  void SendLine(int index);

  // A line as the settings file kept it; the hex preview is left as it is.
  void LoadLine(int index, std::string_view text) { Typed.at(static_cast<std::size_t>(index)).assign(text); }
  [[nodiscard]] const std::array<std::string, kTxLineCount>& Lines() const { return Typed; }
  // "Log Sent": whether sent lines are echoed to the terminal logs (ticked until the
  // settings say otherwise).
  void SetLogSent(bool on) { LogSentOn = on; }
  [[nodiscard]] bool LogSent() const { return LogSentOn; }
  // The line end appended to every sent line from now on; the preview shows it.
  void SetLineEnd(LineEnd end);
  [[nodiscard]] LineEnd Ending() const { return End; }
  // Periodic send: the line goes out every so many milliseconds (kept within kLeastRepeatMs
  // and kMostRepeatMs) while the port is open. A tick while the port still has bytes to write
  // is skipped, so nothing queues up; a tick that finds the port closed ends the repeat.
  void SetRepeat(int index, TxRepeat repeat);
  [[nodiscard]] const std::array<TxRepeat, kTxLineCount>& Repeats() const { return Repeat; }

  // Told of the bytes of every line the port took (for the receive view's "Show sent").
  void SetSentSink(std::function<void(std::string_view)> sink) { Sent = std::move(sink); }
  // Asked before a line is sent: false holds it back (a file transfer has the line).
  void SetWriteGate(std::function<bool()> mayWrite) { MayWrite = std::move(mayWrite); }

 private:
  void RepeatTick(int index);

  std::function<void(std::string_view)> Sent;
  std::function<bool()> MayWrite;
  TimerMaker MakeTimer;
  std::array<TxRepeat, kTxLineCount> Repeat;
  std::array<std::unique_ptr<base::Timer>, kTxLineCount> RepeatTimers;
  std::array<std::string, kTxLineCount> Typed;
  LineEnd End = LineEnd::None;
  int LastShown = 0;  // the line the preview shows
  bool LogSentOn = true;
  ports::SerialPort& Port;
  TerminalLogs& Logs;
  TransmitView& View;
};

}  // namespace korvani::terminal
