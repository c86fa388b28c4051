// Everything the main window shows that the panel decides.
#pragma once

#include <string_view>

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

namespace korvani::app {

inline constexpr int kTerminalTab = 0;
inline constexpr int kHmiTab = 1;
inline constexpr int kSettingsTab = 2;

// Heights the HMI screen may take, measured on the laid-out window (twips).
// The check boxes the settings file restores.
enum class SettingsCheck { TraceToDisk, LogAscii, LogHex, LogSent, UpdateCheck };

struct ScreenHeights {
  double LogShown = 0;
  double LogHidden = 0;
};

class PanelView : public terminal::RxPaneView,
                  public hmi::screen::ScreenView,
                  public hmi::link::TxView,
                  public terminal::ConnectionView,
                  public ports::ComPortListView,
                  public hmi::screen::ButtonView,
                  public hmi::screen::ToastView,
                  public hmi::screen::DataEntryView,
                  public hmi::log::HmiLogView,
                  public terminal::TerminalLogsView,
                  public terminal::TransmitView,
                  public hmi::screen::PanelControlsView {
 public:
  virtual void SetCaption(std::string_view caption) = 0;
  virtual void SelectTab(int index) = 0;
  // Makes the window's inner area exactly as wide as the tab control.
  virtual void FitWidthToTabs() = 0;
  [[nodiscard]] virtual ScreenHeights AvailableScreenHeights() const = 0;
  // chkHideBT, ticked whenever the program starts.
  [[nodiscard]] virtual bool HideBluetoothChecked() const = 0;
  virtual void SetCheckBox(SettingsCheck which, bool ticked) = 0;
  virtual void SetTxLine(int index, std::string_view text) = 0;  // txtTx(index)
  // txtHMIlogFolderName on the settings tab.
  virtual void ShowLogFolder(std::string_view folder) = 0;
  // Label2 beside the "Test" box: the injected text as hex pairs.
  virtual void ShowTestEcho(std::string_view hexListing) = 0;
  // Writes a PNG picture of the board's screen, with its soft buttons, at its size on the
  // display; the reason in plain words when it could not, else empty.
  virtual std::string SaveScreenPicture(const std::string& path) = 0;
  // "Record..." on the Settings tab: the file being recorded into, or empty when none is.
  virtual void ShowRecording(std::string_view path) = 0;
  // cmbScrollback on the Settings tab: what the receive view keeps.
  virtual void ShowScrollback(const terminal::Scrollback& scrollback) = 0;
};

}  // namespace korvani::app
