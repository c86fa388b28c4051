#include "ui/frm_terminal_ui.h"

#include "ui/frm_terminal_tabs.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>

#include <QHBoxLayout>
#include <QVBoxLayout>
#include "terminal/connection.h"
#include "terminal/scrollback.h"
#include "terminal/transmit_lines.h"

namespace korvani::ui {

namespace {

// The find bar under the receive view, hidden until Ctrl+F.
QWidget* BuildFindBar(FrmTerminalUi& ui, QWidget* parent) {
  ui.fraFind = new QWidget(parent);
  ui.fraFind->setObjectName(QStringLiteral("fraFind"));
  auto* row = new QHBoxLayout(ui.fraFind);
  row->setContentsMargins(0, 0, 0, 0);
  ui.txtFind = new QLineEdit(ui.fraFind);
  ui.txtFind->setObjectName(QStringLiteral("txtFind"));
  ui.txtFind->setPlaceholderText(QStringLiteral("Find in the history (Enter: next, Esc: close)"));
  ui.cmdFindNext = new QPushButton(QStringLiteral("Next"), ui.fraFind);
  ui.cmdFindNext->setObjectName(QStringLiteral("cmdFindNext"));
  ui.cmdFindPrevious = new QPushButton(QStringLiteral("Previous"), ui.fraFind);
  ui.cmdFindPrevious->setObjectName(QStringLiteral("cmdFindPrevious"));
  ui.chkFindMatchCase = new QCheckBox(QStringLiteral("Match case"), ui.fraFind);
  ui.chkFindMatchCase->setObjectName(QStringLiteral("chkFindMatchCase"));
  ui.lblFindResult = new QLabel(ui.fraFind);
  ui.lblFindResult->setObjectName(QStringLiteral("lblFindResult"));
  row->addWidget(ui.txtFind, 1);
  row->addWidget(ui.cmdFindPrevious);
  row->addWidget(ui.cmdFindNext);
  row->addWidget(ui.chkFindMatchCase);
  row->addWidget(ui.lblFindResult);
  ui.fraFind->hide();
  return ui.fraFind;
}

QGroupBox* BuildRxFrame(FrmTerminalUi& ui, QWidget* tab) {
  ui.fraRx = new QGroupBox(QStringLiteral("Rx"), tab);
  auto* rxLayout = new QHBoxLayout(ui.fraRx);
  ui.txtRxData = new RxView(ui.fraRx);
  ui.txtRxData->setObjectName(QStringLiteral("txtRxData"));
  ui.txtRxData->setMinimumSize(560, 300);
  auto* viewColumn = new QVBoxLayout;
  viewColumn->addWidget(ui.txtRxData, 1);
  viewColumn->addWidget(BuildFindBar(ui, ui.fraRx));
  rxLayout->addLayout(viewColumn, 1);

  auto* side = new QVBoxLayout;
  ui.optRxASCII = new QRadioButton(QStringLiteral("ASCII"), ui.fraRx);
  ui.optRxASCII->setObjectName(QStringLiteral("optRxASCII"));
  ui.optRxASCII->setToolTip(
      QStringLiteral("Display received data in ASCII format. Non-printing codes will be shown in Vexel hex "
                     "format, e.g. '0E"));
  ui.optRxHex = new QRadioButton(QStringLiteral("HEX"), ui.fraRx);
  ui.optRxHex->setObjectName(QStringLiteral("optRxHex"));
  ui.optRxHex->setToolTip(QStringLiteral("Display received data in Hex format"));
  ui.cmdRxFreeze = new QPushButton(QStringLiteral("Freeze"), ui.fraRx);
  ui.cmdRxFreeze->setObjectName(QStringLiteral("cmdRxFreeze"));
  ui.cmdRxClear = new QPushButton(QStringLiteral("Clear view"), ui.fraRx);
  ui.cmdRxClear->setObjectName(QStringLiteral("cmdRxClear"));
  ui.cmdRxClear->setToolTip(
      WithEarlierCaption(QStringLiteral("Empty the view; the logs are not touched"), "Clear"));
  ui.chkTimestamps = new QCheckBox(QStringLiteral("Time stamps"), ui.fraRx);
  ui.chkTimestamps->setObjectName(QStringLiteral("chkTimestamps"));
  ui.chkTimestamps->setToolTip(
      QStringLiteral("Start each line of the view and of the ASCII log with the time its first byte came"));
  ui.chkShowSent = new QCheckBox(QStringLiteral("Show sent"), ui.fraRx);
  ui.chkShowSent->setObjectName(QStringLiteral("chkShowSent"));
  ui.chkShowSent->setToolTip(
      QStringLiteral("Show what the Tx lines and the panel send, in blue, among what is received"));
  ui.chkLogASCII = new QCheckBox(QStringLiteral("Log ASCII"), ui.fraRx);
  ui.chkLogASCII->setObjectName(QStringLiteral("chkLogASCII"));
  ui.chkLogHex = new QCheckBox(QStringLiteral("Log Hex"), ui.fraRx);
  ui.chkLogHex->setObjectName(QStringLiteral("chkLogHex"));
  for (QWidget* widget : {static_cast<QWidget*>(ui.optRxASCII), static_cast<QWidget*>(ui.optRxHex),
                          static_cast<QWidget*>(ui.cmdRxFreeze), static_cast<QWidget*>(ui.cmdRxClear),
                          static_cast<QWidget*>(ui.chkTimestamps), static_cast<QWidget*>(ui.chkShowSent),
                          static_cast<QWidget*>(ui.chkLogASCII), static_cast<QWidget*>(ui.chkLogHex)}) {
    side->addWidget(widget);
  }
  ui.chkLogASCII->setToolTip(QStringLiteral(
      "Enable (disk) logging of ASCII formatted data.  Set the file name in the Settings tab."));
  ui.chkLogHex->setToolTip(
      QStringLiteral("Enable (disk) logging of Hex formatted data.  Set the file name in the Settings tab."));
  ui.cmdClearASCIILogFile[0] =
      ClearLogButton("cmdClearASCIILogFile0", "Clear ASCII log", "Empty the ASCII log file", ui.fraRx);
  ui.cmdClearHexLogFile[0] =
      ClearLogButton("cmdClearHexLogFile0", "Clear hex log", "Empty the hex log file", ui.fraRx);
  ui.cmdTerminalLogMarkerLine = new QPushButton(QStringLiteral("Log divider"), ui.fraRx);
  ui.cmdTerminalLogMarkerLine->setObjectName(QStringLiteral("cmdTerminalLogMarkerLine"));
  ui.cmdTerminalLogMarkerLine->setToolTip(WithEarlierCaption(
      QStringLiteral("Write a divider line and time stamp to both log files, and show it in the view"),
      "------------"));
  ui.cmdSaveView = new QPushButton(QStringLiteral("Save view..."), ui.fraRx);
  ui.cmdSaveView->setObjectName(QStringLiteral("cmdSaveView"));
  ui.cmdSaveView->setToolTip(QStringLiteral("Write the whole history, as the view shows it, to a file"));
  side->addWidget(ui.cmdSaveView);
  side->addWidget(ui.cmdClearASCIILogFile[0]);
  side->addWidget(ui.cmdClearHexLogFile[0]);
  side->addWidget(ui.cmdTerminalLogMarkerLine);
  side->addStretch(1);
  rxLayout->addLayout(side);

  return ui.fraRx;
}

// The five prepared lines with their Send buttons, the hint and the hex preview.
QGroupBox* BuildTxFrame(FrmTerminalUi& ui, QWidget* tab) {
  ui.fraTx = new QGroupBox(QStringLiteral("Tx"), tab);
  ui.fraTx->setObjectName(QStringLiteral("fraTx"));
  auto* txLayout = new QGridLayout(ui.fraTx);
  for (int i = 0; i < 5; ++i) {
    ui.txtTx[i] = new QLineEdit(ui.fraTx);
    ui.txtTx[i]->setObjectName(QStringLiteral("txtTx%1").arg(i));
    ui.txtTx[i]->setFont(FixedPitchFont());
    ui.cmdSend[i] = new QPushButton(QStringLiteral("Send %1").arg(i + 1), ui.fraTx);
    ui.cmdSend[i]->setObjectName(QStringLiteral("cmdSend%1").arg(i));
    ui.cmdSend[i]->setToolTip(
        WithEarlierCaption(QStringLiteral("Send line %1 (or press Enter in it)").arg(i + 1), "Send"));
    ui.chkRepeat[i] = new QCheckBox(QStringLiteral("Every"), ui.fraTx);
    ui.chkRepeat[i]->setObjectName(QStringLiteral("chkRepeat%1").arg(i));
    ui.chkRepeat[i]->setToolTip(QStringLiteral("Send the line again and again while the port is open"));
    ui.spnRepeat[i] = new QSpinBox(ui.fraTx);
    ui.spnRepeat[i]->setObjectName(QStringLiteral("spnRepeat%1").arg(i));
    ui.spnRepeat[i]->setRange(korvani::terminal::kLeastRepeatMs, korvani::terminal::kMostRepeatMs);
    ui.spnRepeat[i]->setValue(1000);
    ui.spnRepeat[i]->setSuffix(QStringLiteral(" ms"));
    txLayout->addWidget(ui.txtTx[i], i, 0);
    txLayout->addWidget(ui.cmdSend[i], i, 1);
    txLayout->addWidget(ui.chkRepeat[i], i, 2);
    txLayout->addWidget(ui.spnRepeat[i], i, 3);
  }
  ui.lblInfo = new QLabel(QStringLiteral("Key as ASCII, or as hex codes preceded by apostrophe, e.g. "
                                         "Hello'0D '0A. The pane below shows the result, in "
                                         "simple hex, of the last selected text box. Experiment with the "
                                         "handling of spaces and apostrophes. Anything "
                                         "after a SINGLE semicolon is ignored"),
                          ui.fraTx);
  ui.lblInfo->setObjectName(QStringLiteral("lblInfo"));
  ui.lblInfo->setWordWrap(true);
  ui.lblInfo->setMaximumWidth(260);
  ui.lblCheckDisp = new QLabel(ui.fraTx);
  ui.lblCheckDisp->setObjectName(QStringLiteral("lblCheckDisp"));
  ui.lblCheckDisp->setTextFormat(Qt::PlainText);
  ui.lblCheckDisp->setWordWrap(true);
  ui.lblCheckDisp->setFont(FixedPitchFont());
  ui.chkLogSent = new QCheckBox(QStringLiteral("Log Sent"), ui.fraTx);
  ui.chkLogSent->setObjectName(QStringLiteral("chkLogSent"));
  ui.chkLogSent->setToolTip(QStringLiteral(
      "Enable (disk) logging of messages sent to the Vexel.  Set the file name in the Settings tab."));
  ui.chkLogSent->setChecked(true);
  ui.cmbLineEnd = new QComboBox(ui.fraTx);
  ui.cmbLineEnd->setObjectName(QStringLiteral("cmbLineEnd"));
  ui.cmbLineEnd->addItems(
      {QStringLiteral("No line end"), QStringLiteral("CR"), QStringLiteral("LF"), QStringLiteral("CR LF")});
  ui.cmbLineEnd->setToolTip(
      QStringLiteral("Appended to every line sent (Send, Enter or Every); the pane below shows it"));
  auto* sendOptions = new QHBoxLayout;
  sendOptions->addWidget(ui.chkLogSent);
  sendOptions->addWidget(ui.cmbLineEnd);
  txLayout->addWidget(ui.lblInfo, 0, 4, 4, 1);
  txLayout->addLayout(sendOptions, 4, 4);
  txLayout->addWidget(ui.lblCheckDisp, 5, 0, 1, 5);
  return ui.fraTx;
}

QWidget* BuildTerminalTab(FrmTerminalUi& ui) {
  auto* tab = new QWidget;
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(BuildRxFrame(ui, tab), 1);
  layout->addWidget(BuildTxFrame(ui, tab));
  return tab;
}

// The screen with its title above it.
QVBoxLayout* BuildScreenColumn(FrmTerminalUi& ui, QWidget* tab) {
  auto* screenColumn = new QVBoxLayout;
  screenColumn->setSpacing(0);
  ui.fraScreenArea = new QWidget(tab);
  ui.fraScreenArea->setObjectName(QStringLiteral("fraScreenArea"));
  ui.fraScreenArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  ui.lblHMITitle = new QLabel(QStringLiteral("--"), ui.fraScreenArea);
  ui.lblHMITitle->setObjectName(QStringLiteral("lblHMITitle"));
  ui.lblHMITitle->setTextFormat(Qt::PlainText);
  ui.lblHMITitle->setAlignment(Qt::AlignCenter);
  QFont titleFont = ui.lblHMITitle->font();
  titleFont.setBold(true);
  ui.lblHMITitle->setFont(titleFont);
  ui.picHMI1 = new SurfaceWidget(ui.fraScreenArea);
  ui.picHMI1->setObjectName(QStringLiteral("picHMI1"));
  ui.picHMI1->move(0, ui.lblHMITitle->sizeHint().height());
  screenColumn->addWidget(ui.fraScreenArea, 1);
  return screenColumn;
}

// The panel's control buttons beside the screen, the width box and the layout options.
QVBoxLayout* BuildPanelControls(FrmTerminalUi& ui, QWidget* tab) {
  auto* controls = new QVBoxLayout;
  ui.cmdHMIReset = new QPushButton(QStringLiteral("Reset"), tab);
  ui.cmdHMIReset->setObjectName(QStringLiteral("cmdHMIReset"));
  ui.cmdHMIReset->setToolTip(QStringLiteral("Resets the HMI to its initial state"));
  ui.cmdHMICLS = new QPushButton(QStringLiteral("Clear screen"), tab);
  ui.cmdHMICLS->setObjectName(QStringLiteral("cmdHMICLS"));
  ui.cmdHMICLS->setToolTip(WithEarlierCaption(
      QStringLiteral("Clears the HMI screen, fills it with the current background colour"), "CLS"));
  ui.txtSetWidth = new QLineEdit(tab);
  ui.txtSetWidth->setObjectName(QStringLiteral("txtSetWidth"));
  ui.txtSetWidth->setMaximumWidth(60);
  controls->addWidget(ui.cmdHMIReset);
  controls->addWidget(ui.cmdHMICLS);
  ui.txtSetWidth->setText(QStringLiteral("40"));
  ui.cmdHMISetWidth = new QPushButton(QStringLiteral("Width"), tab);
  ui.cmdHMISetWidth->setObjectName(QStringLiteral("cmdHMISetWidth"));
  ui.fraAspectRatio = new QGroupBox(QStringLiteral("A/R"), tab);
  ui.fraAspectRatio->setObjectName(QStringLiteral("fraAspectRatio"));
  auto* ratioLayout = new QVBoxLayout(ui.fraAspectRatio);
  ui.grpAspectRatio = new QButtonGroup(ui.fraAspectRatio);
  const char* const ratios[] = {"4:3", "3:2", "5:3", "16:9"};
  for (int i = 0; i < 4; ++i) {
    ui.optAspectRatio[i] = new QRadioButton(QString::fromLatin1(ratios[i]), ui.fraAspectRatio);
    ui.optAspectRatio[i]->setObjectName(QStringLiteral("optAspectRatio%1").arg(i));
    ui.grpAspectRatio->addButton(ui.optAspectRatio[i], i);
    ratioLayout->addWidget(ui.optAspectRatio[i]);
  }
  ui.optAspectRatio[1]->setChecked(true);
  auto* widthRow = new QHBoxLayout;
  widthRow->addWidget(ui.txtSetWidth);
  widthRow->addWidget(ui.cmdHMISetWidth);
  controls->addLayout(widthRow);
  controls->addWidget(ui.fraAspectRatio);
  controls->addStretch(1);
  ui.cmdHMIConnect = new QPushButton(QStringLiteral("Connect"), tab);
  ui.cmdHMIConnect->setObjectName(QStringLiteral("cmdHMIConnect"));
  ui.cmdHMIConnect->setToolTip(
      QStringLiteral("Sends a connect code to the Vexel, same as the Android does when BlueTooth connection "
                     "is established"));
  ui.cmdSetRTC = new QPushButton(QStringLiteral("Set RTC"), tab);
  ui.cmdSetRTC->setObjectName(QStringLiteral("cmdSetRTC"));
  ui.cmdSetRTC->setToolTip(QStringLiteral(
      "Set the RTC. Host must have an RTC and be running the proper application code to respond."));
  ui.cmdHMIRulers = new QPushButton(QStringLiteral("Ruler"), tab);
  ui.cmdHMIRulers->setObjectName(QStringLiteral("cmdHMIRulers"));
  ui.cmdHMIRulers->setToolTip(QStringLiteral("Draw rulers to assist in layout design"));
  controls->insertWidget(2, ui.cmdHMIConnect);
  controls->insertWidget(3, ui.cmdSetRTC);
  controls->insertWidget(4, ui.cmdHMIRulers);
  ui.cmdSaveScreen = new QPushButton(QStringLiteral("Save screen..."), tab);
  ui.cmdSaveScreen->setObjectName(QStringLiteral("cmdSaveScreen"));
  ui.cmdSaveScreen->setToolTip(
      QStringLiteral("Write a PNG picture of the screen and its buttons (Ctrl+Shift+C copies it)"));
  controls->insertWidget(5, ui.cmdSaveScreen);
  ui.cmdFullScreen = new QPushButton(QStringLiteral("Full screen"), tab);
  ui.cmdFullScreen->setObjectName(QStringLiteral("cmdFullScreen"));
  ui.cmdFullScreen->setToolTip(
      QStringLiteral("The screen alone, as large as the display takes it (F11; F11 or Esc returns)"));
  controls->insertWidget(6, ui.cmdFullScreen);

  return controls;
}

// The data-entry frame floats over the screen while the board asks for a number.
void BuildDataEntryFrame(FrmTerminalUi& ui, QWidget* tab) {
  ui.fraUserDataInput = new QGroupBox(QStringLiteral("Data entry"), tab);
  ui.fraUserDataInput->setObjectName(QStringLiteral("fraUserDataInput"));
  ui.fraUserDataInput->setAutoFillBackground(true);
  auto* entryLayout = new QGridLayout(ui.fraUserDataInput);
  ui.lblHMIDataEntryPrompt = new QLabel(ui.fraUserDataInput);
  ui.lblHMIDataEntryPrompt->setObjectName(QStringLiteral("lblHMIDataEntryPrompt"));
  ui.lblHMIDataEntryPrompt->setTextFormat(Qt::PlainText);
  ui.lblHMIDataEntryPrompt->setFont(FixedPitchFont());
  ui.txtHMIDataEntry = new QLineEdit(ui.fraUserDataInput);
  ui.txtHMIDataEntry->setObjectName(QStringLiteral("txtHMIDataEntry"));
  ui.cmdHMIDataOK = new QPushButton(QStringLiteral("OK"), ui.fraUserDataInput);
  ui.cmdHMIDataOK->setObjectName(QStringLiteral("cmdHMIDataOK"));
  ui.cmdHMIDataOK->setToolTip(QStringLiteral("Accept the data entered."));
  ui.cmdHMIDataEntryCancel = new QPushButton(QStringLiteral("Cancel"), ui.fraUserDataInput);
  ui.cmdHMIDataEntryCancel->setObjectName(QStringLiteral("cmdHMIDataEntryCancel"));
  ui.cmdHMIDataEntryCancel->setToolTip(QStringLiteral("Cancel data entry"));
  entryLayout->addWidget(ui.lblHMIDataEntryPrompt, 0, 0, 1, 3);
  entryLayout->addWidget(ui.txtHMIDataEntry, 1, 0);
  entryLayout->addWidget(ui.cmdHMIDataOK, 1, 1);
  entryLayout->addWidget(ui.cmdHMIDataEntryCancel, 1, 2);
  ui.fraUserDataInput->hide();
}

// The log pane under the screen with its buttons.
QGroupBox* BuildLogFrame(FrmTerminalUi& ui, QWidget* tab) {
  ui.fraLogging = new QGroupBox(QStringLiteral("Log (Shows data sent from the host using # HMI_Log)"), tab);
  ui.fraLogging->setObjectName(QStringLiteral("fraLogging"));
  auto* logLayout = new QHBoxLayout(ui.fraLogging);
  ui.txtHMILog = new QPlainTextEdit(ui.fraLogging);
  ui.txtHMILog->setObjectName(QStringLiteral("txtHMILog"));
  ui.txtHMILog->setReadOnly(true);  // typing changes nothing
  ui.txtHMILog->setUndoRedoEnabled(false);
  ui.txtHMILog->setFont(FixedPitchFont());
  ui.txtHMILog->setFixedHeight(120);
  logLayout->addWidget(ui.txtHMILog, 1);
  auto* logButtons = new QGridLayout;
  const auto logButton = [&](QPushButton*& button, const char* name, const QString& caption,
                             const QString& tip) {
    button = new QPushButton(caption, ui.fraLogging);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
  };
  logButton(ui.cmdLogFrz, "cmdLogFrz", QStringLiteral("Freeze"),
            QStringLiteral("Freeze the display. Data is still recorded (up to 50,000 characters) "));
  logButton(
      ui.cmdLogMarker, "cmdLogMarker", QStringLiteral("Divider"),
      WithEarlierCaption(QStringLiteral("Insert a visible divider line and time stamp"), "-------------"));
  logButton(ui.cmdLogCLS, "cmdLogCLS", QStringLiteral("Clear pane"),
            WithEarlierCaption(QStringLiteral("Clears the log pane. No effect on disk data."), "CLS"));
  logButton(ui.cmdClearHMILogFile, "cmdClearHMILogFile", QStringLiteral("Clear trace file"),
            WithEarlierCaption(QStringLiteral("Empty the trace file on disk"), "Clear"));
  logButton(ui.cmdHideLog, "cmdHideLog", QStringLiteral("Hide"), QString());
  ui.chkHMITraceToDisk = new QCheckBox(QStringLiteral("To disk"), ui.fraLogging);
  ui.chkHMITraceToDisk->setObjectName(QStringLiteral("chkHMITraceToDisk"));
  ui.chkHMITraceToDisk->setToolTip(
      QStringLiteral("Enables writing log data to disk. Set the file name in the Settings tab."));
  logButtons->addWidget(ui.cmdLogFrz, 0, 0);
  logButtons->addWidget(ui.cmdLogMarker, 0, 1);
  logButtons->addWidget(ui.cmdLogCLS, 1, 0);
  logButtons->addWidget(ui.cmdHideLog, 1, 1);
  logButtons->addWidget(ui.chkHMITraceToDisk, 2, 0);
  logButtons->addWidget(ui.cmdClearHMILogFile, 2, 1);
  logLayout->addLayout(logButtons);

  return ui.fraLogging;
}

// "Tx:" with the last message sent, and the "Test" box with its echo.
void BuildTxAndTestRows(FrmTerminalUi& ui, QWidget* tab, QVBoxLayout* layout) {
  ui.lblTx = new QLabel(QStringLiteral("Tx: "), tab);
  ui.lblTx->setObjectName(QStringLiteral("lblTx"));
  ui.lblTx->setTextFormat(Qt::PlainText);
  ui.lblTx->setFont(FixedPitchFont());
  layout->addWidget(ui.lblTx);

  auto* testRow = new QHBoxLayout;
  ui.txtHMIRawRx = new QLineEdit(tab);
  ui.txtHMIRawRx->setObjectName(QStringLiteral("txtHMIRawRx"));
  ui.txtHMIRawRx->setFont(FixedPitchFont());
  ui.cmdHMITestSend = new QPushButton(QStringLiteral("Test"), tab);
  ui.cmdHMITestSend->setObjectName(QStringLiteral("cmdHMITestSend"));
  testRow->addWidget(ui.txtHMIRawRx, 1);
  testRow->addWidget(ui.cmdHMITestSend);
  layout->addLayout(testRow);

  ui.Label2 = new QLabel(tab);
  ui.Label2->setObjectName(QStringLiteral("Label2"));
  ui.Label2->setTextFormat(Qt::PlainText);
  ui.Label2->setWordWrap(true);
  ui.Label2->setFont(FixedPitchFont());
  layout->addWidget(ui.Label2);
}

QWidget* BuildHmiTab(FrmTerminalUi& ui) {
  auto* tab = new QWidget;
  auto* layout = new QVBoxLayout(tab);
  auto* screenRow = new QHBoxLayout;
  screenRow->addLayout(BuildScreenColumn(ui, tab), 1);
  QVBoxLayout* controls = BuildPanelControls(ui, tab);
  controls->setContentsMargins(0, 0, 0, 0);
  ui.fraPanelControls = new QWidget(tab);
  ui.fraPanelControls->setObjectName(QStringLiteral("fraPanelControls"));
  ui.fraPanelControls->setLayout(controls);
  screenRow->addWidget(ui.fraPanelControls);
  layout->addLayout(screenRow, 1);
  BuildDataEntryFrame(ui, tab);
  ui.cmdShowTrace = new QPushButton(QStringLiteral("Show trace"), tab);
  ui.cmdShowTrace->setObjectName(QStringLiteral("cmdShowTrace"));
  controls->insertWidget(5, ui.cmdShowTrace);
  layout->addWidget(BuildLogFrame(ui, tab));
  BuildTxAndTestRows(ui, tab, layout);
  return tab;
}

}  // namespace

void FrmTerminalUi::setupUi(QMainWindow* window) {
  window->setObjectName(QStringLiteral("frmTerminal"));
  SSTab1 = new QTabWidget(window);
  SSTab1->setObjectName(QStringLiteral("SSTab1"));
  SSTab1->addTab(BuildTerminalTab(*this), QStringLiteral("Terminal"));
  SSTab1->addTab(BuildHmiTab(*this), QStringLiteral("Korvani (tm)"));
  SSTab1->addTab(BuildSettingsTab(*this), QStringLiteral("Settings"));
  window->setCentralWidget(SSTab1);

  fraToastMsg = new QFrame(window);
  fraToastMsg->setObjectName(QStringLiteral("fraToastMsg"));
  fraToastMsg->setFrameShape(QFrame::Box);
  fraToastMsg->setLineWidth(2);
  fraToastMsg->setAutoFillBackground(true);
  fraToastMsg->setStyleSheet(QStringLiteral("#fraToastMsg { background: #fff8c4; }"));
  auto* toastLayout = new QVBoxLayout(fraToastMsg);
  lblToastMsg = new QLabel(fraToastMsg);
  lblToastMsg->setObjectName(QStringLiteral("lblToastMsg"));
  lblToastMsg->setTextFormat(Qt::PlainText);
  lblToastMsg->setAlignment(Qt::AlignCenter);
  lblToastMsg->setWordWrap(true);
  QFont toastFont = lblToastMsg->font();
  toastFont.setPointSizeF(toastFont.pointSizeF() * 1.25);
  lblToastMsg->setFont(toastFont);
  lblDismissToastMsg = new QLabel(QStringLiteral("Click to dismiss"), fraToastMsg);
  lblDismissToastMsg->setObjectName(QStringLiteral("lblDismissToastMsg"));
  lblDismissToastMsg->setAlignment(Qt::AlignCenter);
  toastLayout->addWidget(lblToastMsg, 1);
  toastLayout->addWidget(lblDismissToastMsg);
  fraToastMsg->hide();

  StatusBar1 = new QStatusBar(window);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  lblPortStatus = new QLabel(StatusBar1);
  lblPortStatus->setTextFormat(Qt::PlainText);
  lblPortProblem = new QLabel(StatusBar1);
  lblPortProblem->setTextFormat(Qt::PlainText);
  lblLogProblem = new QLabel(StatusBar1);
  lblLogProblem->setObjectName(QStringLiteral("lblLogProblem"));
  lblLogProblem->setTextFormat(Qt::PlainText);
  lblLogProblem->setStyleSheet(QStringLiteral("color: #b00000"));
  lblLogProblem->setSizePolicy(QSizePolicy::Ignored,
                               QSizePolicy::Preferred);  // a long name never widens the window
  lblLogProblem->hide();
  StatusBar1->addWidget(lblPortStatus);
  StatusBar1->addWidget(lblPortProblem, 1);
  StatusBar1->addWidget(lblLogProblem, 4);
  window->setStatusBar(StatusBar1);
}

}  // namespace korvani::ui
