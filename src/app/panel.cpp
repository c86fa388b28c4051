#include "app/panel.h"

#include "app/version.h"
#include "terminal/hex_notation.h"

namespace korvani::app {

using hmi::link::Arguments;

Panel::Panel(terminal::SerialPort& port, PanelView& view, hmi::screen::DrawingSurface& surface,
             base::Dialogs& dialogs)
    : TerminalPort(port),
      View(view),
      HmiLink([this] { HmiScreen.ScreenReset(); }),
      RxPath(port, view, [this](std::string_view chunk) { HmiLink.Receive(chunk); }),
      TxSender([this](std::string_view message) { return TerminalPort.Write(message); }, view),
      HmiScreen(surface, view, dialogs, [this](std::string_view message) { TxSender.PanelSend(message); }) {
  TerminalPort.SetEventHandler([this](int code) {
    RxPath.TerminalPort_CommEvent(code);
    if (code != terminal::kEventReceive) {
      View.ShowPortStatus(PortStatusText());  // an error event resets the port: say how it went
    }
  });
  BindScreenCommands();
}

Panel::~Panel() {
  TerminalPort.SetEventHandler({});
}

void Panel::BindScreenCommands() {
  auto& commands = HmiLink.Commands();
  auto& screen = HmiScreen;
  commands.Bind('@', [&screen](const Arguments& a) { screen.PrintAtCursor(a[0]); });
  commands.Bind('E', [&screen](const Arguments& a) { screen.CursorMove(a[0], a[1]); });
  commands.Bind('F', [&screen](const Arguments& a) { screen.CursorTo(a[0], a[1]); });
  commands.Bind('K', [&screen](const Arguments& a) { screen.SetForeColour(a[0], a[1], a[2]); });
  commands.Bind('L', [&screen](const Arguments& a) { screen.SetBackColour(a[0], a[1], a[2]); });
  commands.Bind('R', [&screen](const Arguments&) { screen.ClearScreen(); });
  commands.Bind('S', [&screen](const Arguments&) { screen.ScreenReset(); });
  commands.Bind('V', [&screen](const Arguments& a) { screen.SetColumns(a[0], a[1]); });
}

void Panel::FormLoad() {
  TerminalPort.SetReadLength(0);  // every read returns all waiting input
  View.SetCaption(WindowCaption());
  // The COM port list is filled here once the port list exists.
  View.SelectTab(kHmiTab);
  // The version check starts here once it exists.
  View.FitWidthToTabs();
  TerminalPort.SetSettings(std::string(kDefaultLineSettings));  // 38400 baud, N,8,1
  // IntroShowing is true from the framer's start; the intro typist begins with the
  // splash text once it exists. The settings file is read here once it exists.
  if (ComPortNumber != 0) {
    OpenPort();
  } else {
    View.ShowPortStatus(PortStatusText());
  }
  const ScreenHeights heights = View.AvailableScreenHeights();
  HmiScreen.SetAvailableHeights(heights.LogShown, heights.LogHidden);
  HmiScreen.RecordDefaultColours(hmi::screen::kDesignedForeColour, hmi::screen::kDesignedBackColour);
  hmi::screen::Layout3x2(HmiScreen.Layouts());
  HmiScreen.ScreenSetup(kStartColumns);
  HmiScreen.ScreenReset();
}

bool Panel::OpenPort() {
  TerminalPort.SetOpen(false);
  TerminalPort.SetSettings(std::string(kDefaultLineSettings));
  TerminalPort.SetPortNumber(ComPortNumber);
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
