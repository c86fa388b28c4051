// SPDX-License-Identifier: GPL-3.0-or-later
// One connection to a board, owned as one object: its port and recording, the line, the
// receive path, the board's screen with its buttons, prompts, notices and logs, the terminal's
// logs and transmit lines, the plot's points and file transfers. Nothing in it is shared with
// another session; what belongs to the whole program (settings files, folders, the version
// check, problem reports) is the Panel's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/intro_typist.h"
#include "app/panel_view.h"
#include "app/platform.h"
#include "app/problems.h"
#include "app/settings.h"
#include "hmi/link/framer.h"
#include "hmi/link/panel_sender.h"
#include "hmi/log/disk_log_commands.h"
#include "hmi/log/hmi_log.h"
#include "hmi/log/log_file_table.h"
#include "hmi/screen/data_entry.h"
#include "hmi/screen/panel_controls.h"
#include "hmi/screen/screen.h"
#include "hmi/screen/soft_buttons.h"
#include "hmi/screen/toast.h"
#include "plot/plot_data.h"
#include "ports/com_port_list.h"
#include "ports/port_router.h"
#include "terminal/connection.h"
#include "terminal/receive_path.h"
#include "terminal/session_file.h"
#include "terminal/terminal_logs.h"
#include "terminal/transmit_lines.h"
#include "transfer/file_transfer.h"

namespace korvani::app {

class Session {
 public:
  Session(const Platform& platform, const PanelViews& views, Problems& problems);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();

  // Start-up, in the panel's order: the port list, the port opened, the screen and intro.
  void ListPorts();
  void OpenAtStartUp();
  void End();  // its window closed: a transfer cancelled, the port closed
  // Told the COM number each time a port is applied (chosen, added, or opened at start-up).
  void SetPortApplied(std::function<void(std::int16_t comNumber)> applied);
  void StartScreen();

  [[nodiscard]] const PanelViews& ShownIn() const { return Views; }  // the window it is shown in

  // "Save view...", "Save screen..." and the Plot tab's exports, each to a file the user
  // picks; `writePng` gives the reason it could not, else "".
  void SaveReceiveView();
  void SaveScreen();
  void SavePlotData();
  void SavePlotPicture(const std::function<std::string(const std::string& path)>& writePng);

  // "Test" on the HMI tab: the typed text, hex escapes decoded, handled as received data.
  void InjectTestText(std::string_view typed);
  void ResetScreen() { HmiScreen.ScreenReset(); }
  void ClearScreen() { HmiScreen.ClearScreen(); }
  void DrawRulers() { Draw('W', {}); }
  void Connect();
  void SetBoardClock();
  void SendConnect();
  void SendClock();
  // "Refresh list" and "Hide Bluetooth ports" both build the list again.
  void RefreshPorts();
  // The port chosen in the list, opened (a transfer on the one before is cancelled first).
  void ApplyChosenPort();
  // "Add network port...": false, with the reason shown, for no address or no number left.
  bool AddNetworkPort(std::string_view typed);
  // "Replay..." (and --replay): the recording joins the port list and is chosen and opened.
  void ReplaySession(const std::string& path);
  // "Record..." (and --record): everything received and sent from now on goes into `path`.
  bool StartRecording(const std::string& path);
  void StopRecording();
  [[nodiscard]] bool Recording() const { return Recorder.Recording(); }
  void WatchPort() { PortConnection.WatchPort(); }  // once a second, from the window's timer
  // "Log divider": a divider with the time in both terminal logs and in the view.
  void WriteDivider();
  // Bytes for the board, seen by "Show sent" and a recording as sent; false when the port
  // did not take them, or (said once in the view) while a file transfer runs.
  bool SendToBoard(std::string_view bytes);
  // cmbScrollback: what the receive view keeps from now on; false when the text is not one.
  bool ChooseScrollback(std::string_view typed);
  [[nodiscard]] const terminal::Scrollback& ViewKeeps() const { return Keeps; }

  terminal::ReceivePath& Receive() { return RxPath; }
  terminal::Connection& Connection() { return PortConnection; }
  hmi::link::Framer& Link() { return HmiLink; }
  hmi::screen::Screen& Screen() { return HmiScreen; }
  hmi::screen::SoftButtons& Buttons() { return UserButtons; }
  hmi::screen::Toast& Toasts() { return ToastMessages; }
  hmi::screen::DataEntry& Entry() { return NumberEntry; }
  hmi::screen::PanelControls& Controls() { return ScreenControls; }
  hmi::log::LogFileTable& LogFiles() { return LogTable; }
  hmi::log::HmiLog& ScreenLog() { return OnScreenLog; }
  terminal::TerminalLogs& TerminalLogFiles() { return TermLogs; }
  terminal::TransmitLines& Transmit() { return TxLines; }
  IntroTypist& Intro() { return Typist; }
  transfer::FileTransfer& Transfers() { return Files; }
  // Collected from when the Plot tab is first seen, so a flood costs nothing until then.
  plot::PlotData& Plot() { return PlotPoints; }

 private:
  bool HeldBackForTransfer();
  bool WriteToBoard(std::string_view bytes);
  void BindCommands();
  void Draw(char command, const hmi::link::Arguments& args);
  // The receive view's history limits for the choice and whether the view can be seen.
  void KeepHistory();
  // Lists and opens a port added by its path ("tcp://...", "replay:..."); false when none was.
  bool OpenAddedPort(const std::string& path);

  ports::PortRouter Router;          // this session's sources, the one chosen in use
  terminal::RecordingPort Recorder;  // every byte in and out passes here
  ports::DeviceSource& Devices;
  PanelViews Views;
  const base::Clock& PcClock;
  Problems& ProblemReports;
  std::function<void(const std::string& url)> OpenWebPage;
  std::string MakerWebAddress;
  std::unique_ptr<base::Timer> tmrHMIButtons;
  std::unique_ptr<base::Timer> tmrToastMsg;
  std::unique_ptr<base::Timer> tmrIntro;
  hmi::link::Framer HmiLink;
  plot::PlotData PlotPoints;  // fed by the receive path
  terminal::ReceivePath RxPath;
  hmi::link::PanelSender TxSender;
  hmi::screen::Screen HmiScreen;
  hmi::screen::Toast ToastMessages;
  hmi::screen::SoftButtons UserButtons;
  hmi::screen::DataEntry NumberEntry;
  hmi::screen::PanelControls ScreenControls;
  hmi::log::LogFileTable LogTable;
  hmi::log::DiskLogCommands LogCommands;
  hmi::log::HmiLog OnScreenLog;
  terminal::TerminalLogs TermLogs;
  terminal::TransmitLines TxLines;
  IntroTypist Typist;
  terminal::Scrollback Keeps;
  std::optional<bool> TerminalAvailable;  // unknown until the first mask
  terminal::Connection PortConnection;
  ports::ComPortList PortList;
  transfer::FileTransfer Files;  // after the receive path it diverts
  bool SaidHeldBack = false;     // that nothing else is sent during this transfer
  std::function<void(std::int16_t)> PortApplied;
};

}  // namespace korvani::app
