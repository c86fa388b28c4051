#include "app/panel.h"

#include "terminal/hex_notation.h"

namespace korvani::app {

Panel::Panel(terminal::SerialPort& port, PanelView& view)
    : TerminalPort(port),
      View(view),
      HmiLink([] {}),
      RxPath(port, view, [this](std::string_view chunk) { HmiLink.Receive(chunk); }) {
  TerminalPort.SetReadLength(0);  // every read returns all waiting input
  TerminalPort.SetEventHandler([this](int code) {
    RxPath.TerminalPort_CommEvent(code);
    if (code != terminal::kEventReceive) {
      View.ShowPortStatus(PortStatusText());  // an error event resets the port: say how it went
    }
  });
}

Panel::~Panel() {
  TerminalPort.SetEventHandler({});
}

bool Panel::OpenPort(std::int16_t portNumber) {
  TerminalPort.SetOpen(false);
  TerminalPort.SetSettings(std::string(kDefaultLineSettings));
  TerminalPort.SetPortNumber(portNumber);
  const bool opened = TerminalPort.SetOpen(true);
  View.ShowPortStatus(PortStatusText());
  return opened;
}

std::string Panel::PortStatusText() const {
  if (TerminalPort.IsOpen()) {
    return "COM" + std::to_string(TerminalPort.PortNumber()) + ": " + TerminalPort.Settings() + " Open";
  }
  std::string status = "? " + TerminalPort.Settings() + " Closed";
  const std::string reason = TerminalPort.LastError();
  if (!reason.empty()) {
    status += " (" + reason + ")";
  }
  return status;
}

void Panel::cmdHMITestSend_Click(std::string_view typed) {
  const std::string injected = terminal::ParseTxText(typed);
  View.ShowTestEcho(terminal::HexToAsciiString(injected));
  HmiLink.Receive(injected);
}

}  // namespace korvani::app
