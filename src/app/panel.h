// The panel as one object: wires the serial port, the receive path and the HMI framer
// together and takes the user's actions from the window.
#pragma once

#include <string>
#include <string_view>

#include "app/panel_view.h"
#include "hmi/link/framer.h"
#include "terminal/receive_path.h"
#include "terminal/serial_port.h"

namespace korvani::app {

inline constexpr std::string_view kDefaultLineSettings = "38400,N,8,1";

class Panel {
 public:
  Panel(terminal::SerialPort& port, PanelView& view);
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;
  ~Panel();

  // Opens the port with the default line settings and shows the connection status.
  // Returns false when it would not open.
  bool OpenPort(std::int16_t portNumber);
  // "COM5: 9600,N,8,1 Open", or "? 9600,N,8,1 Closed" with the reason when there is one.
  [[nodiscard]] std::string PortStatusText() const;

  // "Test" on the HMI tab: the typed text, hex escapes decoded, is handled exactly like
  // received data; nothing is written to the port.
  void cmdHMITestSend_Click(std::string_view typed);

  terminal::ReceivePath& Receive() { return RxPath; }
  hmi::link::Framer& Link() { return HmiLink; }
  terminal::SerialPort& Port() { return TerminalPort; }

 private:
  terminal::SerialPort& TerminalPort;
  PanelView& View;
  hmi::link::Framer HmiLink;
  terminal::ReceivePath RxPath;
};

}  // namespace korvani::app
