// SPDX-License-Identifier: GPL-3.0-or-later
// The Settings tab: the port (the list, Open, network ports, replay and recording), the line
// (any speed and format, flow control, the control lines and the input lines' lamps), the
// board's quick options, the terminal's log files, the board's log folder and trace file,
// and the program's own choices. It shows what the connection and the port list decide and
// forwards what the user does to them.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

#include "app/panel_view.h"
#include "ui/panel_tab.h"

namespace korvani::ui {

// "Record..." while nothing is recorded: its tip.
inline constexpr const char* kRecordTip = "Record everything received and sent, with its time, to a file";

struct SettingsTabUi {
  QGroupBox* fraCommPort = nullptr;
  QComboBox* cmbComPort = nullptr;
  QPushButton* chkComPortOpen = nullptr;  // a check box shown as a button that stays down
  QPushButton* cmdRefreshPorts = nullptr;
  QPushButton* cmdAddNetworkPort = nullptr;
  QPushButton* cmdReplay = nullptr;
  QPushButton* cmdNewWindow = nullptr;
  QPushButton* cmdRecord = nullptr;  // "Record..." or "Stop recording"
  QCheckBox* chkHideBT = nullptr;
  QLabel* Label1 = nullptr;  // the help link
  QGroupBox* fraCommsParameters = nullptr;
  QRadioButton* optBaud[8] = {};
  QRadioButton* optCharacter[5] = {};
  QButtonGroup* grpBaud = nullptr;
  QButtonGroup* grpCharacter = nullptr;
  // The full line settings beside the quick options, and the control lines.
  QGroupBox* fraLine = nullptr;
  QComboBox* cmbSpeed = nullptr;  // editable: any whole number of baud
  QComboBox* cmbDataBits = nullptr;
  QComboBox* cmbParity = nullptr;
  QComboBox* cmbStopBits = nullptr;
  QComboBox* cmbFlow = nullptr;
  QComboBox* cmbLinesOnOpen = nullptr;
  QPushButton* chkDtr = nullptr;  // toggles that stay down while the line is on
  QPushButton* chkRts = nullptr;
  QPushButton* cmdSendBreak = nullptr;
  QLabel* lblCts = nullptr;
  QLabel* lblDsr = nullptr;
  QLabel* lblDcd = nullptr;
  QLabel* lblRi = nullptr;
  // The terminal's log files and what the receive view keeps.
  QGroupBox* fraLogFiles = nullptr;
  QLineEdit* txtASCIILogFileName = nullptr;
  QLineEdit* txtHexLogFileName = nullptr;
  QPushButton* cmdSelectASCIILogFile = nullptr;
  QPushButton* cmdSelectHexLogFile = nullptr;
  QPushButton* cmdClearASCIILogFile2 = nullptr;  // the Terminal tab has the first of each
  QPushButton* cmdClearHexLogFile2 = nullptr;
  QComboBox* cmbScrollback = nullptr;  // editable: what the Terminal tab's view keeps
  // The board's files.
  QGroupBox* fraFiles = nullptr;
  QLineEdit* txtHMIlogFolderName = nullptr;
  QPushButton* cmdSelectHMILogFolder = nullptr;
  QLineEdit* txtHMITraceFileName = nullptr;
  QPushButton* cmdClearHMILogFile2 = nullptr;  // the trace file's second "Clear"
  QPushButton* cmdSelectHMILogFile = nullptr;
  QCheckBox* chkUpdateCheck = nullptr;  // "Check for a newer version at start"
  QPushButton* cmdAbout = nullptr;      // the version and the licence
};

class SettingsTab final : public PanelTab, public app::SettingsTabView {
 public:
  // `portStatus` and `portProblem` are the status bar's fields for the connection.
  SettingsTab(const FaultReport& report, QLabel& portStatus, QLabel& portProblem);

  // Connects the controls to the panel's connection, port list and files; once.
  void Attach(app::Panel& panel);
  [[nodiscard]] const SettingsTabUi& Ui() const { return Widgets; }
  // The input lines' lamps are polled while the tab is in view, and only then.
  void SetInView(bool inView);
  // Shown or hidden with the terminal functions: the comms parameters and the log files.
  void ShowTerminalFunctions(bool available);

  void ShowLineSettings(const ports::LineSettings& line) override;
  void ShowControlLines(const ports::ControlLines& lines, bool portOpen, bool rtsByDriver,
                        bool hasLines) override;
  [[nodiscard]] bool OpenChecked() const override;
  void SetOpenChecked(bool checked) override;
  void ShowLineApplies(bool applies) override;
  void ShowConnectionStatus(std::string_view status) override;
  void ShowConnectionProblem(std::string_view problem) override;
  void ClearComPorts() override;
  void AddComPort(std::string_view name) override;
  void SetComPortText(std::string_view text) override;
  void SelectComPort(int index) override;
  [[nodiscard]] std::string ComPortText() const override;
  void SetAsciiLogFileName(std::string_view name) override;
  void SetHexLogFileName(std::string_view name) override;
  void SetTraceFileName(std::string_view name) override;
  [[nodiscard]] bool HideBluetoothChecked() const override;
  void ShowLogFolder(std::string_view folder) override;
  void ShowRecording(std::string_view path) override;
  void ShowScrollback(const terminal::Scrollback& scrollback) override;
  void SetCheckBox(app::SettingsCheck which, bool ticked) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AttachPort();
  void AttachLine();
  void AttachFiles();
  void AddNetworkPort();
  void Replay();
  void Record();
  // The full line settings as the Line frame's boxes show them.
  [[nodiscard]] ports::LineSettings LineChosen() const;

  static constexpr int kLinesPollMs = 100;
  QLabel& PortStatus;
  QLabel& PortProblem;
  SettingsTabUi Widgets;
  QTimer LinesTimer;  // the input lines' lamps, while the tab is in view
};

}  // namespace korvani::ui
