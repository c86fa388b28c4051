// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/session.h"

#include "app/version.h"

#include <cstdio>

#include "base/files.h"
#include "base/hex_notation.h"
#include "base/text.h"
#include "hmi/link/protocol.h"
#include "hmi/screen/bar_graph.h"
#include "hmi/screen/screen_commands.h"
#include "ports/added_ports.h"

namespace korvani::app {

namespace {
constexpr std::int16_t kStartColumns = 40;  // the screen's width until the board sets one
}  // namespace

using hmi::link::Arguments;

Session::Session(const Platform& platform, const PanelViews& views, Problems& problems)
    : Router(platform.Port, platform.Sources,
             {.PathOf = [&devices =
                             platform.Devices](std::int16_t number) { return devices.DevicePath(number); },
              .PanelWritesLogs = [this] { return !LogTable.LoggingInhibited; }}),
      Recorder(Router, platform.Microseconds,
               [this](const std::string& why) {
                 Views.Settings.ShowRecording("");
                 ProblemReports.ShowProblem(why);
               }),
      Devices(platform.Devices),
      Views(views),
      PcClock(platform.Clock),
      ProblemReports(problems),
      OpenWebPage(platform.OpenWebPage),
      MakerWebAddress(platform.MakerWebAddress),
      tmrHMIButtons(platform.MakeTimer()),
      tmrToastMsg(platform.MakeTimer()),
      tmrIntro(platform.MakeTimer()),
      HmiLink([this] { HmiScreen.ScreenReset(); }),
      RxPath(Recorder, views.Terminal,
             [this, microseconds = platform.Microseconds](std::string_view chunk) {
               // Passed over until the tab is seen; a replay's lines at their recorded time.
               PlotPoints.Feed(chunk, Recorder.ArrivedAt(microseconds()));
               HmiLink.Receive(chunk);
             }),
      TxSender([this](std::string_view message) { return SendToBoard(message); }, views.Screen),
      HmiScreen(platform.Surface, views.Screen, platform.Dialogs,
                [this](std::string_view message) { TxSender.PanelSend(message); }),
      ToastMessages(views.Window, *tmrToastMsg),
      UserButtons(HmiScreen, views.Screen, *tmrHMIButtons,
                  [this](std::string_view message) { TxSender.PanelSend(message); },
                  {[this] { return HmiLink.IntroShowing(); }, [this] { HmiLink.ClearIntroShowing(); },
                   [this](std::string_view text) { ToastMessages.ShowToast(text); },
                   [this] {
                     if (OpenWebPage) {
                       OpenWebPage(MakerWebAddress);
                     }
                   }}),
      NumberEntry(views.Screen, platform.Dialogs,
                  [this](std::string_view message) { TxSender.PanelSend(message); }),
      ScreenControls(HmiScreen, views.Screen, [this] { SendConnect(); }),
      LogTable(platform.Dialogs, platform.Clock,
               [this](const std::string& folder) { Views.Settings.ShowLogFolder(folder); }),
      LogCommands(LogTable, platform.Dialogs),
      OnScreenLog(views.Screen, views.Settings, platform.Dialogs, platform.Clock,
                  [this](bool paneVisible) {
                    HmiScreen.SetLogPaneVisible(paneVisible);
                    HmiScreen.ScreenSetup(HmiScreen.ScreenColumns());
                    SendConnect();
                  }),
      TermLogs(RxPath.LogSettings(), views.Settings, platform.Dialogs, platform.Clock),
      TxLines(Recorder, TermLogs, views.Terminal, platform.MakeTimer),
      Typist([this](char command, const Arguments& a) { Draw(command, a); }, *tmrIntro,
             [this] { return HmiLink.IntroShowing(); }, platform.SplashFile),
      PortConnection(Recorder, views.Settings,
                     [this] { return ports::ComPortList::PortNumberFromList(Views.Settings.ComPortText()); }),
      PortList(platform.Devices, platform.Dialogs, views.Settings, platform.MakerWebAddress,
               [this] { ApplyChosenPort(); }),
      Files(Recorder, RxPath, views.Terminal, platform.Dialogs,
            [this](std::string_view bytes) { return WriteToBoard(bytes); },
            {platform.MakeChild, platform.FindProgram, platform.MakeTimer, platform.Microseconds,
             platform.DownloadsFolder, [this] { return Recorder.Closings(); }}) {
  RxPath.SetClock(platform.Clock);
  if (platform.MakeTimer) {
    RxPath.SetLogTimer(platform.MakeTimer());
  }
  TxLines.SetSentSink([this](std::string_view bytes) { RxPath.RecordSent(bytes); });
  TxLines.SetWriteGate([this] { return !HeldBackForTransfer(); });
  Recorder.SetEventHandler([this](ports::PortEvent event) {
    RxPath.OnPortEvent(event);
    if (event != ports::PortEvent::Received) {
      PortConnection.ShowState();  // an error event resets the port: say how it went
    }
  });
  ScreenControls.SetTerminalFunctionsHook([this](bool available) {
    Views.Window.SetTerminalFunctions(available);
    if (TerminalAvailable != available) {
      TerminalAvailable = available;
      KeepHistory();
    }
  });
  HmiScreen.SetResetHooks(
      {[this] { UserButtons.ButtonEvent('I', -1); }, [this] { UserButtons.ResetButtons(); },
       [this] { ScreenControls.ResetPanelControls(); }, [this] { UserButtons.PlaceButtons(); }});
  BindCommands();
  PlotPoints.SetCollecting(false);  // until the Plot tab is first seen
}

Session::~Session() {
  Recorder.SetEventHandler({});
}

void Session::BindCommands() {
  auto& commands = HmiLink.Commands();
  hmi::screen::BindScreenCommands(commands, HmiScreen);
  HmiLink.SetKeepHook([this](char command, const Arguments& a) { HmiScreen.KeepForRedraw(command, a); });
  commands.Bind('O', [this](const Arguments& a) { UserButtons.DefineButton(a); });
  commands.Bind('U', [this](const Arguments&) { UserButtons.RemoveAllButtons(); });
  commands.Bind('T', [this](const Arguments& a) { NumberEntry.AskForNumber(a); });
  commands.Bind('p', [this](const Arguments& a) { ToastMessages.SpeakIt(a[0], a[1], a[2], a[3]); });
  commands.Bind('q', [this](const Arguments& a) { ToastMessages.SpeakIt(a[0], "", "", ""); });
  commands.Bind('r', [this](const Arguments&) { SendClock(); });
  commands.Bind('X', [this](const Arguments& a) { ScreenControls.ApplyControlMask(a[0]); });
  commands.Bind('!', [this](const Arguments& a) { OnScreenLog.AddToHMILog(a[0], false); });
  commands.Bind('Y', [this](const Arguments& a) { LogCommands.doHMIFileOpen(a[0], a[1]); });
  commands.Bind('Z', [this](const Arguments& a) { LogCommands.doHMINewFile(a[0]); });
  commands.Bind('B', [this](const Arguments& a) { LogCommands.DoHMILog(a[0]); });
  commands.Bind('C', [this](const Arguments&) { LogCommands.DoHMILog(LogTable.HHMMss()); });
  commands.Bind('D', [this](const Arguments&) { LogCommands.DoHMILog(LogTable.yyMMdd()); });
  commands.Bind('A', [this](const Arguments&) { LogCommands.doHMILogWrite(); });
}

void Session::Draw(char command, const Arguments& args) {
  hmi::screen::DrawCommand(HmiLink.Commands(), HmiScreen, command, args);
}

void Session::ListPorts() {
  Recorder.SetReadLength(0);  // every read returns all waiting input
  RefreshPorts();
}

void Session::OpenAtStartUp() {
  PortList.ShowChosenPort(PortConnection.PortNumber());
  PortConnection.OpenAtStartUp();
  if (PortApplied) {
    PortApplied(PortConnection.PortNumber());
  }
}

void Session::StartScreen() {
  const ScreenHeights heights = Views.Window.AvailableScreenHeights();
  HmiScreen.SetAvailableHeights(heights.LogShown, heights.LogHidden);
  HmiScreen.RecordDefaultColours(hmi::screen::kDesignedForeColour, hmi::screen::kDesignedBackColour);
  hmi::screen::Layout3x2(HmiScreen.Layouts());
  HmiScreen.ScreenSetup(kStartColumns);
  HmiScreen.ScreenReset();
  Typist.Start();  // the intro is typed until the board takes over the screen
}

void Session::RefreshPorts() {
  PortList.BuildComPortList(Views.Settings.HideBluetoothChecked(), PortConnection.PortNumber());
}

bool Session::OpenAddedPort(const std::string& path) {
  const std::int16_t number = Devices.AddUserPort(path);
  if (number == 0) {
    return false;
  }
  PortConnection.SetPortNumber(number);
  RefreshPorts();
  PortList.ShowChosenPort(number);
  Views.Settings.SetOpenChecked(true);
  ApplyChosenPort();
  return true;
}

void Session::SetPortApplied(std::function<void(std::int16_t comNumber)> applied) {
  PortApplied = std::move(applied);
}

void Session::End() {
  Files.Cancel();
  Recorder.SetOpen(false);
  Views.Settings.SetOpenChecked(false);  // and not opened again when it comes back
}

void Session::ApplyChosenPort() {
  Files.Cancel();  // a transfer never goes on into another port
  PortConnection.ApplyChosenPort();
  if (PortApplied) {
    PortApplied(PortConnection.PortNumber());
  }
}

bool Session::AddNetworkPort(std::string_view typed) {
  // An address of a remembered scheme by its parser; anything else is read as "HOST:PORT".
  const std::string_view trimmed = base::TrimBlanks(typed);
  const ports::SourceScheme* scheme = ports::SchemeOf(trimmed);
  scheme = scheme != nullptr && scheme->Remembered ? scheme : ports::SchemeByPrefix(ports::kNetworkScheme);
  std::string why;
  const std::optional<std::string> path = scheme->Parse(trimmed, why);
  if (!path) {
    Views.Settings.ShowConnectionProblem("\"" + std::string(trimmed) + "\" is not a network port: " + why);
    return false;
  }
  if (!OpenAddedPort(*path)) {
    Views.Settings.ShowConnectionProblem("No network port number is left (COM" +
                                         std::to_string(ports::kFirstAddedPort) + "-" +
                                         std::to_string(ports::kLastAddedPort) + " are all taken)");
    return false;
  }
  return true;
}

void Session::ReplaySession(const std::string& path) {
  OpenAddedPort(std::string(ports::kReplayScheme) + path);
}

bool Session::StartRecording(const std::string& path) {
  const std::string replayed = Devices.DevicePath(ports::kReplayPortNumber);
  if (replayed.rfind(ports::kReplayScheme, 0) == 0 &&
      base::SameFile(path, replayed.substr(ports::kReplayScheme.size()))) {
    ProblemReports.ShowProblem("Unable to record: " + path +
                               " is the recording on the port list for replay; recording into it "
                               "would destroy it. Choose another file.");
    return false;
  }
  const base::LocalTime now = PcClock.Now();
  char started[32];
  std::snprintf(started, sizeof started, "%04d-%02d-%02d %02d:%02d:%02d", now.Year, now.Month, now.Day,
                now.Hour, now.Minute, now.Second);
  const std::string why =
      Recorder.Start(path, {{"started", started}, {"program", "Korvani " + VersionText()}});
  if (!why.empty()) {
    ProblemReports.ShowProblem("Unable to record: " + why);
    return false;
  }
  Views.Settings.ShowRecording(path);
  return true;
}

void Session::StopRecording() {
  Recorder.Stop();
  Views.Settings.ShowRecording("");
}

void Session::WriteDivider() {
  RxPath.ShowNote("----- " + TermLogs.WriteMarkerLine() + " -----");
}

bool Session::SendToBoard(std::string_view bytes) {
  return !HeldBackForTransfer() && WriteToBoard(bytes);
}

bool Session::HeldBackForTransfer() {
  if (!Files.Running()) {
    SaidHeldBack = false;
    return false;
  }
  if (!SaidHeldBack) {
    // Keys, a prepared line or the panel's own message would land inside the file's bytes.
    RxPath.ShowNote("a file transfer is running: nothing else is sent until it ends");
    SaidHeldBack = true;
  }
  return true;
}

bool Session::WriteToBoard(std::string_view bytes) {
  const bool written = Recorder.Write(bytes);
  if (written) {
    RxPath.RecordSent(bytes);
  }
  return written;
}

void Session::SendConnect() {
  TxSender.PanelSend(hmi::link::ConnectMessage());
}

void Session::SendClock() {
  TxSender.PanelSend(hmi::link::ClockMessage(PcClock.Now()));
}

void Session::Connect() {
  HmiLink.ClearIntroShowing();
  SendConnect();
}

void Session::SetBoardClock() {
  HmiLink.ClearIntroShowing();
  SendClock();
}

void Session::InjectTestText(std::string_view typed) {
  const std::string injected = base::ParseTxText(typed);
  Views.Screen.ShowTestEcho(base::HexToAsciiString(injected));
  HmiLink.Receive(injected);
}

void Session::SaveReceiveView() {
  const std::string path = TermLogs.PickFile("received.txt");
  if (path.empty()) {
    return;  // cancelled
  }
  std::string why;
  if (!base::ReplaceFile(path, RxPath.ViewText(), &why)) {
    ProblemReports.ShowProblem("Unable to save the view to " + path + ": " + why);
  }
}

void Session::SavePlotData() {
  const std::string path = TermLogs.PickFile("plot.csv");
  if (path.empty()) {
    return;  // cancelled
  }
  std::string why;
  bool written = base::ReplaceFile(path, "", &why);
  plot::WriteCsv(PlotPoints,
                 [&](std::string_view text) { written = written && base::AppendToFile(path, text, &why); });
  if (!written) {
    ProblemReports.ShowProblem("Unable to save the plot's data to " + path + ": " + why);
  }
}

void Session::SavePlotPicture(const std::function<std::string(const std::string& path)>& writePng) {
  const std::string path = TermLogs.PickFile("plot.png");
  if (path.empty()) {
    return;  // cancelled
  }
  const std::string why = writePng(path);
  if (!why.empty()) {
    ProblemReports.ShowProblem("Unable to save the plot to " + path + ": " + why);
  }
}

void Session::SaveScreen() {
  const std::string path = TermLogs.PickFile("screen.png");
  if (path.empty()) {
    return;  // cancelled
  }
  const std::string why = Views.Screen.SaveScreenPicture(path);
  if (!why.empty()) {
    ProblemReports.ShowProblem("Unable to save the screen to " + path + ": " + why);
  }
}

}  // namespace korvani::app
