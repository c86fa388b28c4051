#include "app/panel.h"

#include "app/version.h"
#include "hmi/link/host_messages.h"
#include "terminal/hex_notation.h"

namespace korvani::app {

using hmi::link::Arguments;

Panel::Panel(const Platform& platform, PanelView& view)
    : TerminalPort(platform.Port),
      View(view),
      PcClock(platform.Clock),
      OpenWebPage(platform.OpenWebPage),
      MakerWebAddress(platform.MakerWebAddress),
      tmrHMIButtons(platform.MakeTimer()),
      tmrToastMsg(platform.MakeTimer()),
      HmiLink([this] { HmiScreen.ScreenReset(); }),
      RxPath(platform.Port, view, [this](std::string_view chunk) { HmiLink.Receive(chunk); }),
      TxSender([this](std::string_view message) { return TerminalPort.Write(message); }, view),
      HmiScreen(platform.Surface, view, platform.Dialogs,
                [this](std::string_view message) { TxSender.PanelSend(message); }),
      ToastMessages(view, *tmrToastMsg),
      UserButtons(HmiScreen, view, *tmrHMIButtons,
                  [this](std::string_view message) { TxSender.PanelSend(message); },
                  {[this] { return HmiLink.IntroShowing(); }, [this] { HmiLink.ClearIntroShowing(); },
                   [this](std::string_view text) { ToastMessages.ShowToast(text); },
                   [this] {
                     if (OpenWebPage) {
                       OpenWebPage(MakerWebAddress);
                     }
                   }}),
      NumberEntry(
          view, platform.Dialogs, [this](std::string_view message) { TxSender.PanelSend(message); },
          HmiScreen.EnqText, HmiScreen.EotText),
      LogTable(platform.Dialogs, platform.Clock,
               [this](const std::string& folder) { View.ShowLogFolder(folder); }),
      LogCommands(LogTable, platform.Dialogs),
      OnScreenLog(view, platform.Dialogs, platform.Clock,
                  [this](bool paneVisible) {
                    HmiScreen.SetLogPaneVisible(paneVisible);
                    HmiScreen.ScreenSetup(HmiScreen.ScreenColumns);
                    SendConnect();
                  }),
      TermLogs(RxPath.LogSettings(), view, platform.Dialogs, platform.Clock),
      PortConnection(platform.Port, view, ComPortNumber,
                     [this] { return ports::ComPortList::PortNumberFromList(View.ComPortText()); }),
      Lister(platform.Devices),
      PortList(Lister, platform.Dialogs, view, platform.MakerWebAddress,
               [this] { PortConnection.cmbComPort_Click(); }) {
  TerminalPort.SetEventHandler([this](int code) {
    RxPath.TerminalPort_CommEvent(code);
    if (code != terminal::kEventReceive) {
      PortConnection.ShowState();  // an error event resets the port: say how it went
    }
  });
  HmiScreen.SetResetHooks(
      {[this] { UserButtons.ButtonEvent('I', -1); }, [this] { UserButtons.ResetButtons(); }, {}});
  BindCommands();
}

Panel::~Panel() {
  TerminalPort.SetEventHandler({});
}

void Panel::BindCommands() {
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
  commands.Bind('G', [&screen](const Arguments&) { screen.PushColours(); });
  commands.Bind('H', [&screen](const Arguments&) { screen.PopColours(); });
  commands.Bind('W', [&screen](const Arguments&) { screen.DrawRulers(); });
  commands.Bind('O', [this](const Arguments& a) { UserButtons.DefineButton(a); });
  commands.Bind('Q', [this](const Arguments& a) { UserButtons.DrawBarGraph(a); });
  commands.Bind('U', [this](const Arguments&) { UserButtons.RemoveAllButtons(); });
  commands.Bind('T', [this](const Arguments& a) { NumberEntry.AskForNumber(a); });
  commands.Bind('p', [this](const Arguments& a) { ToastMessages.SpeakIt(a[0], a[1], a[2], a[3]); });
  commands.Bind('q', [this](const Arguments& a) { ToastMessages.SpeakIt(a[0], "", "", ""); });
  commands.Bind('r', [this](const Arguments&) { SendClock(); });
  commands.Bind('!', [this](const Arguments& a) { OnScreenLog.AddToHMILog(a[0], false); });
  commands.Bind('Y', [this](const Arguments& a) { LogCommands.doHMIFileOpen(a[0], a[1]); });
  commands.Bind('Z', [this](const Arguments& a) { LogCommands.doHMINewFile(a[0]); });
  commands.Bind('B', [this](const Arguments& a) { LogCommands.DoHMILog(a[0]); });
  commands.Bind('C', [this](const Arguments&) { LogCommands.DoHMILog(LogTable.HHMMss()); });
  commands.Bind('D', [this](const Arguments&) { LogCommands.DoHMILog(LogTable.yyMMdd()); });
  commands.Bind('A', [this](const Arguments&) { LogCommands.doHMILogWrite(); });
}

void Panel::FormLoad() {
  TerminalPort.SetReadLength(0);  // every read returns all waiting input
  View.SetCaption(WindowCaption());
  BuildComPortList();
  View.SelectTab(kHmiTab);
  // The version check starts here once it exists.
  View.FitWidthToTabs();
  PortConnection.BaudIndex = terminal::kStartBaudIndex;
  PortConnection.CharIndex = terminal::kStartCharIndex;
  PortConnection.SelectCommsOptions();
  // IntroShowing is true from the framer's start; the settings file is read here once it
  // exists.
  PortConnection.OpenAtStartUp();
  const ScreenHeights heights = View.AvailableScreenHeights();
  HmiScreen.SetAvailableHeights(heights.LogShown, heights.LogHidden);
  HmiScreen.RecordDefaultColours(hmi::screen::kDesignedForeColour, hmi::screen::kDesignedBackColour);
  hmi::screen::Layout3x2(HmiScreen.Layouts());
  HmiScreen.ScreenSetup(kStartColumns);
  HmiScreen.ScreenReset();
}

void Panel::BuildComPortList() {
  PortList.BuildComPortList(View.HideBluetoothChecked(), ComPortNumber);
}

void Panel::SendConnect() {
  TxSender.PanelSend(hmi::link::ConnectMessage(HmiScreen.EotText));
}

void Panel::SendClock() {
  TxSender.PanelSend(hmi::link::ClockMessage(PcClock.Now(), HmiScreen.EnqText, HmiScreen.EotText));
}

void Panel::cmdHMIConnect_Click() {
  HmiLink.ClearIntroShowing();
  SendConnect();
}

void Panel::cmdSetRTC_Click() {
  HmiLink.ClearIntroShowing();
  SendClock();
}

void Panel::cmdHMITestSend_Click(std::string_view typed) {
  const std::string injected = terminal::ParseTxText(typed);
  View.ShowTestEcho(terminal::HexToAsciiString(injected));
  HmiLink.Receive(injected);
}

}  // namespace korvani::app
