// The widgets of the main window, built in code; the window holds one of these.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>

#include "ui/rx_view.h"

#include "ui/qt_drawing_surface.h"

namespace korvani::ui {

// "Record..." while nothing is recorded: its tip.
inline constexpr const char* kRecordTip = "Record everything received and sent, with its time, to a file";

struct FrmTerminalUi {
  QTabWidget* SSTab1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* lblPortStatus = nullptr;   // first panel: the connection status
  QLabel* lblPortProblem = nullptr;  // second panel: why a port is closed
  QLabel* lblLogProblem = nullptr;   // last panel, while a terminal log cannot be written

  // Terminal tab
  QGroupBox* fraRx = nullptr;
  RxView* txtRxData = nullptr;  // the receive view
  QCheckBox* chkTimestamps = nullptr;
  QCheckBox* chkShowSent = nullptr;
  QPushButton* cmdSaveView = nullptr;
  // The find bar under the view (Ctrl+F shows it, Esc hides it).
  QWidget* fraFind = nullptr;
  QLineEdit* txtFind = nullptr;
  QPushButton* cmdFindNext = nullptr;
  QPushButton* cmdFindPrevious = nullptr;
  QCheckBox* chkFindMatchCase = nullptr;
  QLabel* lblFindResult = nullptr;
  QRadioButton* optRxASCII = nullptr;
  QRadioButton* optRxHex = nullptr;
  QPushButton* cmdRxFreeze = nullptr;
  QPushButton* cmdRxClear = nullptr;
  QCheckBox* chkLogASCII = nullptr;
  QCheckBox* chkLogHex = nullptr;
  QPushButton* cmdClearASCIILogFile[2] = {};  // 0 on the terminal tab, 1 on the settings tab
  QPushButton* cmdClearHexLogFile[2] = {};
  QPushButton* cmdTerminalLogMarkerLine = nullptr;
  QPushButton* cmdSelectASCIILogFile = nullptr;
  QPushButton* cmdSelectHexLogFile = nullptr;
  QGroupBox* fraTx = nullptr;
  QLineEdit* txtTx[5] = {};
  QPushButton* cmdSend[5] = {};
  QCheckBox* chkRepeat[5] = {};  // periodic send: "Every" and the milliseconds
  QSpinBox* spnRepeat[5] = {};
  QLabel* lblCheckDisp = nullptr;
  QLabel* lblInfo = nullptr;
  QCheckBox* chkLogSent = nullptr;
  QComboBox* cmbLineEnd = nullptr;  // what ends every sent line: none, CR, LF, CR LF

  // HMI tab
  QLabel* lblHMITitle = nullptr;
  SurfaceWidget* picHMI1 = nullptr;
  QPushButton* cmdHMIReset = nullptr;
  QPushButton* cmdHMICLS = nullptr;
  QLineEdit* txtSetWidth = nullptr;
  QPushButton* cmdHMISetWidth = nullptr;
  QGroupBox* fraAspectRatio = nullptr;
  QRadioButton* optAspectRatio[4] = {};
  QButtonGroup* grpAspectRatio = nullptr;
  QLabel* lblTx = nullptr;
  QPushButton* cmdHMIConnect = nullptr;
  QPushButton* cmdSetRTC = nullptr;
  QPushButton* cmdHMIRulers = nullptr;
  QPushButton* cmdSaveScreen = nullptr;
  // The room the screen may take: the title and the screen are placed in it by hand, so a
  // screen grown with the window never holds the window at that size.
  QWidget* fraScreenArea = nullptr;
  QWidget* fraPanelControls = nullptr;   // the column of controls beside the screen
  QPushButton* cmdFullScreen = nullptr;  // "Save screen...": a PNG of the board's screen
  QGroupBox* fraUserDataInput = nullptr;
  QLabel* lblHMIDataEntryPrompt = nullptr;
  QLineEdit* txtHMIDataEntry = nullptr;
  QPushButton* cmdHMIDataOK = nullptr;
  QPushButton* cmdHMIDataEntryCancel = nullptr;

  // The notice over the upper middle of the window, in front of the tabs.
  QFrame* fraToastMsg = nullptr;
  QLabel* lblToastMsg = nullptr;
  QLabel* lblDismissToastMsg = nullptr;

  // The log pane under the screen
  QGroupBox* fraLogging = nullptr;
  QPlainTextEdit* txtHMILog = nullptr;
  QPushButton* cmdLogFrz = nullptr;
  QPushButton* cmdLogMarker = nullptr;
  QPushButton* cmdLogCLS = nullptr;
  QCheckBox* chkHMITraceToDisk = nullptr;
  QPushButton* cmdClearHMILogFile = nullptr;
  QPushButton* cmdHideLog = nullptr;
  QPushButton* cmdShowTrace = nullptr;
  QLineEdit* txtHMIRawRx = nullptr;
  QPushButton* cmdHMITestSend = nullptr;
  QLabel* Label2 = nullptr;

  // Settings tab
  QGroupBox* fraCommPort = nullptr;
  QLabel* Label1 = nullptr;  // the help link
  QGroupBox* fraCommsParameters = nullptr;
  QGroupBox* fraLogFiles = nullptr;
  QComboBox* cmbComPort = nullptr;
  QPushButton* chkComPortOpen = nullptr;  // a check box shown as a button that stays down
  QPushButton* cmdRefreshPorts = nullptr;
  QPushButton* cmdAddNetworkPort = nullptr;
  QPushButton* cmdReplay = nullptr;
  QPushButton* cmdRecord = nullptr;  // "Record..." or "Stop recording"
  QCheckBox* chkHideBT = nullptr;
  QCheckBox* chkUpdateCheck = nullptr;  // "Check for a newer version at start"
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
  QComboBox* cmbScrollback = nullptr;  // editable: what the Terminal tab's view keeps
  QPushButton* chkDtr = nullptr;       // toggles that stay down while the line is on
  QPushButton* chkRts = nullptr;
  QPushButton* cmdSendBreak = nullptr;
  QLabel* lblCts = nullptr;
  QLabel* lblDsr = nullptr;
  QLabel* lblDcd = nullptr;
  QLabel* lblRi = nullptr;
  QLineEdit* txtASCIILogFileName = nullptr;
  QLineEdit* txtHexLogFileName = nullptr;
  QGroupBox* fraFiles = nullptr;
  QLineEdit* txtHMIlogFolderName = nullptr;
  QPushButton* cmdSelectHMILogFolder = nullptr;
  QLineEdit* txtHMITraceFileName = nullptr;
  QPushButton* cmdClearHMILogFile2 = nullptr;  // the trace file's second "Clear"
  QPushButton* cmdSelectHMILogFile = nullptr;

  void setupUi(QMainWindow* window);
};

}  // namespace korvani::ui
