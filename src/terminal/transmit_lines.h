// The terminal's five prepared lines: typed with apostrophe-hex escapes and semicolon
// comments, previewed in hex, sent as the bytes they stand for, echoed to both logs.
#pragma once

#include <array>
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

  void txtTx_Change(int index, std::string_view text);
  void txtTx_Click(int index) { UpdateCheckDisp(index); }
  void UpdateCheckDisp(int index);
  void cmdSend_Click(int index);

  std::array<std::string, kTxLineCount> Lines;
  // "Log Sent": whether sent lines are echoed to the terminal logs (ticked until the
  // settings say otherwise).
  bool LogSent = true;

 private:
  SerialPort& Port;
  TerminalLogs& Logs;
  TransmitView& View;
};

}  // namespace korvani::terminal
