// SPDX-License-Identifier: GPL-3.0-or-later
// The panel as one object: wires the serial port, the connection, the port list, the
// receive path, the HMI framer and the screen together, runs start-up in its fixed order and
// takes the user's actions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_folders.h"
#include "app/intro_typist.h"
#include "app/panel_view.h"
#include "app/problems.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "app/version_check.h"
#include "base/clock.h"
#include "base/dialogs.h"
#include "base/timer.h"
#include "hmi/link/framer.h"
#include "hmi/link/panel_sender.h"
#include "hmi/log/disk_log_commands.h"
#include "hmi/log/hmi_log.h"
#include "hmi/log/log_file_table.h"
#include "hmi/screen/data_entry.h"
#include "hmi/screen/drawing_surface.h"
#include "hmi/screen/panel_controls.h"
#include "hmi/screen/screen.h"
#include "hmi/screen/soft_buttons.h"
#include "hmi/screen/toast.h"
#include "plot/plot_data.h"
#include "ports/com_port_list.h"
#include "ports/device_source.h"
#include "terminal/connection.h"
#include "terminal/port/serial_port.h"
#include "terminal/receive_path.h"
#include "terminal/session_file.h"
#include "terminal/terminal_logs.h"
#include "terminal/transmit_lines.h"
#include "transfer/file_transfer.h"

namespace korvani::app {

inline constexpr std::int16_t kStartColumns = 40;

// What the panel needs of the machine it runs on.
struct Platform {
  terminal::SerialPort& Port;
  hmi::screen::DrawingSurface& Surface;
  base::Dialogs& Dialogs;
  ports::DeviceSource& Devices;
  const base::Clock& Clock;
  std::function<std::unique_ptr<base::Timer>()> MakeTimer;
  std::function<void(const std::string& url)> OpenWebPage;
  std::string MakerWebAddress;
  std::function<std::string(const char* name)> GetEnv;  // "" when unset
  std::function<double()> Random;                       // in [0, 1)
  std::string SplashFile;                               // the intro text typed at start-up
  VersionCheck::Fetch FetchPage;                        // one GET; failures are never reported
  std::string ProductUrl;                               // the version check's page and the download
  std::string HelpUrl;                                  // Label1's help page
  std::function<std::int64_t()> Microseconds = base::SteadyMicroseconds;  // a recording's times
  // The file protocols' programs: how one is run, and where one is installed ("" if not).
  std::function<std::unique_ptr<transfer::ChildProcess>()> MakeChild = {};
  std::function<std::string(std::string_view name)> FindProgram = {};
  std::string DownloadsFolder = {};  // where the choosers of received files open ("": anywhere)
};

class Panel {
 public:
  Panel(const Platform& platform, const PanelViews& views);
  // One view for everything, as a test's fake is.
  Panel(const Platform& platform, PanelView& view) : Panel(platform, view.Views()) {}
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;
  ~Panel();

  // Loading the main window: every start-up step, strictly in order.
  void FormLoad();
  // "Save view...": the receive view's whole history as shown, to a file the user picks.
  void SaveReceiveView();
  // "Save screen...": a PNG picture of the board's screen, to a file the user picks.
  void SaveScreen();
  // The Plot tab's exports: the kept points as comma-separated values, and the picture as
  // `writePng` writes it (the reason in plain words when it could not, else empty), each to a
  // file the user picks.
  void SavePlotData();
  void SavePlotPicture(const std::function<std::string(const std::string& path)>& writePng);
  // Reads the settings file into the window; stops at the first line it cannot take.
  void LoadSettings();
  // The settings kept beside that file: the line's, the Tx lines' periodic send, the
  // receive view's; the command line's choices over them.
  void LoadLineSettings();
  // Writes the settings file (the window then closes and the program ends).
  void SaveSettings();
  [[nodiscard]] SettingsValues CurrentSettings() const;

  // "Test" on the HMI tab: the typed text, hex escapes decoded, is handled exactly like
  // received data; nothing is written to the port.
  void InjectTestText(std::string_view typed);
  void ResetScreen() { HmiScreen.ScreenReset(); }
  void ClearScreen() { HmiScreen.ClearScreen(); }
  void DrawRulers() { Draw('W', {}); }
  void Connect();
  void SetBoardClock();
  // "Refresh list" and "Hide Bluetooth ports" both build the list again.
  void RefreshPorts() { BuildComPortList(); }
  // "Add network port...": the address typed (tcp://HOST:PORT) joins the port list and is
  // chosen and opened. False, with the reason shown, when it is no address or no network
  // number is left.
  bool AddNetworkPort(std::string_view typed);
  // "Replay..." (and --replay): the recording joins the port list as a port of its own and
  // is chosen and opened.
  void ReplaySession(const std::string& path);
  // "Record..." (and --record): everything received and sent from now on goes into `path`,
  // until StopRecording. False, with the reason shown, when the file cannot be written.
  bool StartRecording(const std::string& path);
  void StopRecording();
  [[nodiscard]] bool Recording() const { return Recorder.Recording(); }

  // Once a second, from the window's timer.
  void WatchPort() { PortConnection.WatchPort(); }
  // A double click on Label1 opens the help page.
  void OpenHelpPage();

  void SendConnect();
  void SendClock();
  // "Log divider": a divider with the time in both terminal logs and in the view.
  void WriteDivider();
  // Bytes for the board (the panel's messages, keys typed in the console): written to the
  // port, and seen by "Show sent" and a recording as sent data. False when the port did not
  // take them.
  // Refused (false, said once in the view) while a file transfer runs.
  bool SendToBoard(std::string_view bytes);

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
  const AppFolders& Folders() const { return AppPaths; }
  IntroTypist& Intro() { return Typist; }
  transfer::FileTransfer& Transfers() { return Files; }
  // The numbers found in every received line, for the Plot tab: collected from when the tab
  // is first seen (it turns collecting on), so a flood costs nothing more until then.
  plot::PlotData& Plot() { return PlotPoints; }

  // A port named on the command line (--port, --demo): chosen at start-up over the saved one.
  void SetCommandLinePort(std::int16_t comNumber) { CommandLinePort = comNumber; }
  // --baud, --format, --flow, --dtr and --rts: they replace the saved settings at start-up.
  void SetCommandLineLine(const terminal::LineOptions& options) { CommandLineLine = options; }
  // --no-update-check: no version check at this start, and the box unticked (and so saved).
  void SetCommandLineNoUpdateCheck() { CommandLineNoUpdateCheck = true; }
  // "Check for a newer version at start", saved for the next start.
  void SetUpdateCheck(bool on) { UpdateCheckOn = on; }
  // The console's choices as the user set them, saved for the next start.
  void SetConsoleOptions(const ConsoleOptions& options) { ConsoleChoices = options; }
  // --scrollback: replaces the saved choice at start-up.
  void SetCommandLineScrollback(std::optional<terminal::Scrollback> scrollback) {
    CommandLineScrollback = scrollback;
  }
  // cmbScrollback: what the receive view keeps from now on (a smaller choice drops the oldest
  // lines at once). False, and the choice shown as it was, when the text is not one. While the
  // terminal functions are not available the view cannot be seen, and it keeps only the
  // 20,000 characters the terminal's pane always kept.
  bool ChooseScrollback(std::string_view typed);

 private:
  // The board's line as every sender but a file transfer gets it.
  bool HeldBackForTransfer();
  // The port chosen in the list, opened (a transfer on the one before is cancelled first).
  void ApplyChosenPort();
  bool WriteToBoard(std::string_view bytes);
  void BindCommands();
  // A screen command run as a board's message runs it, kept for redraw where it is.
  void Draw(char command, const hmi::link::Arguments& args);
  bool ApplySettingsLineToWindow(int line, std::string_view text);
  // The receive view's history limits for the choice and whether the view can be seen.
  void KeepHistory();
  // Options.ini and the command line's --no-update-check, before the version check's step.
  void LoadOptions();
  void BuildComPortList();
  // Lists and opens a port added by its path ("tcp://...", "replay:..."); false when none was.
  bool OpenAddedPort(const std::string& path);

  terminal::RecordingPort Recorder;  // every byte in and out passes here
  terminal::SerialPort& TerminalPort;
  ports::DeviceSource& Devices;
  PanelViews Views;
  const base::Clock& PcClock;
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
  AppFolders AppPaths;
  SettingsStore Store{AppPaths};
  Problems ProblemReports;
  IntroTypist Typist;
  VersionCheck Updates;
  std::string HelpUrl;
  bool SettingsNamesInAnsi = false;  // the settings file's names are written back as they were read
  std::int16_t CommandLinePort = 0;
  terminal::LineOptions CommandLineLine;
  std::optional<terminal::Scrollback> CommandLineScrollback;
  terminal::Scrollback ViewKeeps;
  bool UpdateCheckOn = true;
  ConsoleOptions ConsoleChoices;
  bool CommandLineNoUpdateCheck = false;
  std::optional<bool> TerminalAvailable;  // unknown until the first mask
  terminal::Connection PortConnection;
  ports::ComPortList PortList;
  transfer::FileTransfer Files;  // after the receive path it diverts
  bool SaidHeldBack = false;     // that nothing else is sent during this transfer
};

}  // namespace korvani::app
