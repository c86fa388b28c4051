// The panel as one object: wires the serial port, the receive path, the HMI framer and the
// screen together, runs start-up in its fixed order and takes the user's actions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/panel_view.h"
#include "base/dialogs.h"
#include "hmi/link/framer.h"
#include "hmi/link/panel_sender.h"
#include "hmi/screen/drawing_surface.h"
#include "hmi/screen/screen.h"
#include "terminal/receive_path.h"
#include "terminal/serial_port.h"

namespace korvani::app {

inline constexpr std::string_view kDefaultLineSettings = "38400,N,8,1";
inline constexpr std::int16_t kStartColumns = 40;

class Panel {
 public:
  Panel(terminal::SerialPort& port, PanelView& view, hmi::screen::DrawingSurface& surface,
        base::Dialogs& dialogs);
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;
  ~Panel();

  // Loading the main window: every start-up step, strictly in order.
  void FormLoad();

  // Closes, applies the default line settings to ComPortNumber, opens, and shows the
  // connection status. Returns false when the port would not open.
  bool OpenPort();
  // "COM5: 9600,N,8,1 Open", or "? 9600,N,8,1 Closed" with the reason when there is one.
  [[nodiscard]] std::string PortStatusText() const;

  // "Test" on the HMI tab: the typed text, hex escapes decoded, is handled exactly like
  // received data; nothing is written to the port.
  void cmdHMITestSend_Click(std::string_view typed);
  void cmdHMIReset_Click() { HmiScreen.ScreenReset(); }
  void cmdHMICLS_Click() { HmiScreen.ClearScreen(); }

  terminal::ReceivePath& Receive() { return RxPath; }
  hmi::link::Framer& Link() { return HmiLink; }
  hmi::screen::Screen& Screen() { return HmiScreen; }
  hmi::link::PanelSender& Sender() { return TxSender; }

  // The COM port the panel uses; 0 means none chosen.
  std::int16_t ComPortNumber = 0;

 private:
  void BindScreenCommands();

  terminal::SerialPort& TerminalPort;
  PanelView& View;
  hmi::link::Framer HmiLink;
  terminal::ReceivePath RxPath;
  hmi::link::PanelSender TxSender;
  hmi::screen::Screen HmiScreen;
};

}  // namespace korvani::app
