#include "terminal/transmit_lines.h"

#include "base/hex_notation.h"

namespace korvani::terminal {

TransmitLines::TransmitLines(SerialPort& port, TerminalLogs& logs, TransmitView& view)
    : Port(port), Logs(logs), View(view) {}

void TransmitLines::SetLine(int index, std::string_view text) {
  Typed.at(static_cast<std::size_t>(index)).assign(text);
  UpdateCheckDisp(index);
}

void TransmitLines::UpdateCheckDisp(int index) {
  View.SetCheckDisp(base::HexToAsciiString(base::ParseTxText(Typed.at(static_cast<std::size_t>(index)))));
}

void TransmitLines::SendLine(int index) {
  const std::string& typed = Typed.at(static_cast<std::size_t>(index));
  const std::string data = base::ParseTxText(typed);
  // A closed port takes nothing; the program goes on.
  if (!data.empty() && Port.Write(data) && Sent) {
    Sent(data);
  }
  if (LogSentOn) {
    const std::string echo = "\r\n<<< " + typed + "\r\n";
    Logs.WriteHexLog(echo);
    Logs.WriteAsciiLog(echo);
  }
}

}  // namespace korvani::terminal
