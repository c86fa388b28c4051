// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the main window shows that the panel decides, by where it is shown: the window
// around the tabs, the board's screen tab, the Terminal tab and the Settings tab. Each tab of
// the window implements its view; a test's fake implements them all (`PanelView`).
#pragma once

#include <string_view>

#include "app/settings.h"
#include "hmi/link/panel_sender.h"
#include "hmi/log/hmi_log.h"
#include "hmi/screen/data_entry.h"
#include "hmi/screen/panel_controls.h"
#include "hmi/screen/screen_view.h"
#include "hmi/screen/soft_buttons.h"
#include "hmi/screen/toast.h"
#include "ports/com_port_list.h"
#include "terminal/connection.h"
#include "terminal/rx_pane_view.h"
#include "terminal/scrollback.h"
#include "terminal/terminal_logs.h"
#include "terminal/transmit_lines.h"
#include "transfer/transfer_view.h"

namespace korvani::app {

inline constexpr int kTerminalTab = 0;
inline constexpr int kHmiTab = 1;
inline constexpr int kSettingsTab = 2;
inline constexpr int kPlotTab = 3;
inline constexpr int kScriptTab = 4;

// The check boxes the settings file restores, each on the tab that shows it.
enum class SettingsCheck { TraceToDisk, LogAscii, LogHex, LogSent, UpdateCheck };

// Heights the HMI screen may take, measured on the laid-out window (twips).
struct ScreenHeights {
  double LogShown = 0;
  double LogHidden = 0;
};

// The window itself: its caption, which tab is in view, its width, the notice over it.
class WindowView : public hmi::screen::ToastView {
 public:
  virtual void SetCaption(std::string_view caption) = 0;
  virtual void SelectTab(int index) = 0;
  // Makes the window's inner area exactly as wide as the tab control.
  virtual void FitWidthToTabs() = 0;
  [[nodiscard]] virtual ScreenHeights AvailableScreenHeights() const = 0;
  // The Terminal tab, the comms parameters and the terminal's log-file settings.
  virtual void SetTerminalFunctions(bool available) = 0;
};

// The board's screen tab: the screen, its buttons and controls, the number prompt, the log
// pane under it and the "Test" row.
class ScreenTabView : public hmi::screen::ScreenView,
                      public hmi::link::TxView,
                      public hmi::screen::ButtonView,
                      public hmi::screen::DataEntryView,
                      public hmi::log::HmiLogView,
                      public hmi::screen::PanelControlsView {
 public:
  // Label2 beside the "Test" box: the injected text as hex pairs.
  virtual void ShowTestEcho(std::string_view hexListing) = 0;
  // Writes a PNG picture of the board's screen, with its soft buttons, at its size on the
  // display; the reason in plain words when it could not, else empty.
  virtual std::string SaveScreenPicture(const std::string& path) = 0;
  virtual void SetCheckBox(SettingsCheck which, bool ticked) = 0;  // TraceToDisk
};

// The Terminal tab: the receive view and the prepared lines.
class TerminalTabView : public terminal::RxPaneView,
                        public terminal::TransmitView,
                        public transfer::TransferView {
 public:
  virtual void SetTxLine(int index, std::string_view text) = 0;  // txtTx(index)
  virtual void ShowConsoleOptions(const ConsoleOptions& options) = 0;
  virtual void SetCheckBox(SettingsCheck which, bool ticked) = 0;  // LogAscii, LogHex, LogSent
};

// The Settings tab: the port, the line, the files, the program's own choices.
class SettingsTabView : public terminal::ConnectionView,
                        public ports::ComPortListView,
                        public terminal::TerminalLogsView,
                        public hmi::log::TraceFileView {
 public:
  // chkHideBT, ticked whenever the program starts.
  [[nodiscard]] virtual bool HideBluetoothChecked() const = 0;
  virtual void ShowLogFolder(std::string_view folder) = 0;  // txtHMIlogFolderName
  // "Record...": the file being recorded into, or empty when none is.
  virtual void ShowRecording(std::string_view path) = 0;
  // cmbScrollback: what the receive view keeps.
  virtual void ShowScrollback(const terminal::Scrollback& scrollback) = 0;
  virtual void SetCheckBox(SettingsCheck which, bool ticked) = 0;  // UpdateCheck
};

// What the panel is given to show things in.
struct PanelViews {
  WindowView& Window;
  ScreenTabView& Screen;
  TerminalTabView& Terminal;
  SettingsTabView& Settings;
};

// All of them in one, as a test's fake view is.
class PanelView : public WindowView, public ScreenTabView, public TerminalTabView, public SettingsTabView {
 public:
  PanelViews Views() { return {*this, *this, *this, *this}; }
};

}  // namespace korvani::app
