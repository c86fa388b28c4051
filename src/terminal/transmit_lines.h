// The terminal's five prepared lines: typed with apostrophe-hex escapes and semicolon
// comments, previewed in hex, sent as the bytes they stand for, echoed to both logs.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "terminal/serial_port.h"
#include "terminal/terminal_logs.h"

namespace korvani::terminal {

inline constexpr int kTxLineCount = 5;

class TransmitView {
 public:
  virtual ~TransmitView() = default;
  virtual void SetCheckDisp(std::string_view caption) = 0;  // lblCheckDisp, plain text
};

class TransmitLines {
 public:
  TransmitLines(SerialPort& port, TerminalLogs& logs, TransmitView& view);

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
  // Told of the bytes of every line the port took (for the receive view's "Show sent").
  void SetSentSink(std::function<void(std::string_view)> sink) { Sent = std::move(sink); }

 private:
  std::function<void(std::string_view)> Sent;
  std::array<std::string, kTxLineCount> Typed;
  bool LogSentOn = true;
  SerialPort& Port;
  TerminalLogs& Logs;
  TransmitView& View;
};

}  // namespace korvani::terminal
