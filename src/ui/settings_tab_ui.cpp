// SPDX-License-Identifier: GPL-3.0-or-later
// Building the Settings tab: the port, the line, the quick options, the log files and the
// board's files.
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "terminal/connection.h"
#include "terminal/scrollback.h"
#include "ui/settings_tab.h"
#include "ui/tab_building.h"

namespace korvani::ui {

namespace {

QGroupBox* BuildPortFrame(SettingsTabUi& ui, QWidget* parent) {
  auto* frame = new QGroupBox(QStringLiteral("COM port"), parent);
  ui.fraCommPort = frame;
  auto* grid = new QGridLayout(frame);
  ui.cmbComPort = new QComboBox(frame);
  ui.cmbComPort->setObjectName(QStringLiteral("cmbComPort"));
  ui.cmbComPort->setEditable(true);  // shows "(Select COM port)" when nothing is chosen
  ui.cmbComPort->setInsertPolicy(QComboBox::NoInsert);
  ui.cmbComPort->setMinimumContentsLength(32);
  ui.chkComPortOpen = new QPushButton(QStringLiteral("Open"), frame);
  ui.chkComPortOpen->setObjectName(QStringLiteral("chkComPortOpen"));
  ui.chkComPortOpen->setCheckable(true);
  // Down is plain to see: green with a tick, and up is the usual button.
  ui.chkComPortOpen->setStyleSheet(QStringLiteral(
      "QPushButton#chkComPortOpen:checked { background: #2e8b57; color: white; font-weight: bold;"
      " border: 1px solid #1d5e3a; border-radius: 3px; padding: 4px 12px; }"));
  QObject::connect(ui.chkComPortOpen, &QPushButton::toggled, ui.chkComPortOpen,
                   [button = ui.chkComPortOpen](bool down) {
                     button->setText(down ? QStringLiteral("\u2713 Open") : QStringLiteral("Open"));
                   });
  ui.cmdRefreshPorts = new QPushButton(QStringLiteral("Refresh list"), frame);
  ui.cmdRefreshPorts->setObjectName(QStringLiteral("cmdRefreshPorts"));
  ui.chkHideBT = new QCheckBox(QStringLiteral("Hide Bluetooth ports"), frame);
  ui.chkHideBT->setObjectName(QStringLiteral("chkHideBT"));
  ui.chkHideBT->setChecked(true);
  grid->addWidget(ui.cmbComPort, 0, 0, 1, 2);
  grid->addWidget(ui.chkComPortOpen, 0, 2);
  grid->addWidget(ui.cmdRefreshPorts, 1, 0);
  grid->addWidget(ui.chkHideBT, 1, 1, 1, 2);
  const auto button = [frame](const char* name, const char* caption, const char* tip) {
    auto* made = new QPushButton(QLatin1String(caption), frame);
    made->setObjectName(QLatin1String(name));
    made->setToolTip(QLatin1String(tip));
    return made;
  };
  ui.cmdAddNetworkPort = button("cmdAddNetworkPort", "Add network port...",
                                "A board behind a serial-to-network bridge: tcp://HOST:PORT, or a remote "
                                "serial port with its line: rfc2217://HOST:PORT");
  ui.cmdReplay =
      button("cmdReplay", "Replay...", "Open a recorded session as the port: it plays again as it came");
  ui.cmdRecord = button("cmdRecord", "Record...", kRecordTip);
  ui.cmdNewWindow = button("cmdNewWindow", "New window",
                           "Another board at the same time: a window of its own with its own port (Ctrl+N)");
  auto* more = new QHBoxLayout;
  more->addWidget(ui.cmdAddNetworkPort);
  more->addWidget(ui.cmdReplay);
  more->addWidget(ui.cmdRecord);
  more->addWidget(ui.cmdNewWindow);
  grid->addLayout(more, 2, 0, 1, 3);
  return frame;
}

// The captions of the line's choices, in their order.
template <typename Value, std::size_t N>
QStringList Captions(const std::array<ports::Choice<Value>, N>& choices) {
  QStringList captions;
  for (const ports::Choice<Value>& choice : choices) {
    captions << QString::fromLatin1(choice.Caption.data(), static_cast<qsizetype>(choice.Caption.size()));
  }
  return captions;
}

QComboBox* Choices(const char* name, const QStringList& items, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->addItems(items);
  return box;
}

QPushButton* LineToggle(const char* name, const char* caption, const char* tip, QWidget* parent) {
  auto* toggle = new QPushButton(QLatin1String(caption), parent);
  toggle->setObjectName(QLatin1String(name));
  toggle->setCheckable(true);
  toggle->setToolTip(QLatin1String(tip));
  return toggle;
}

QLabel* LineLamp(const char* name, const char* caption, const char* tip, QWidget* parent) {
  auto* lamp = new QLabel(QLatin1String(caption), parent);
  lamp->setObjectName(QLatin1String(name));
  lamp->setAlignment(Qt::AlignCenter);
  lamp->setFrameShape(QFrame::Panel);
  lamp->setFrameShadow(QFrame::Sunken);
  lamp->setMinimumWidth(40);
  lamp->setToolTip(QLatin1String(tip));
  lamp->setEnabled(false);  // lit (enabled and coloured) while the line is on
  return lamp;
}

// Every speed, data bits, parity, stop bits and flow control, the control lines on open, the
// DTR and RTS toggles, "Send break" and the input lines' lamps.
QGroupBox* BuildLineFrame(SettingsTabUi& ui, QWidget* parent) {
  auto* frame = new QGroupBox(QStringLiteral("Line"), parent);
  ui.fraLine = frame;
  frame->setObjectName(QStringLiteral("fraLine"));
  auto* form = new QFormLayout(frame);
  QStringList speeds;
  for (const std::int32_t baud : ports::kStandardBauds) {
    speeds << QString::number(baud);
  }
  ui.cmbSpeed = Choices("cmbSpeed", speeds, frame);
  ui.cmbSpeed->setEditable(true);
  ui.cmbSpeed->setInsertPolicy(QComboBox::NoInsert);
  ui.cmbSpeed->setCompleter(nullptr);  // a typed 250000 is never completed to a listed 2500000
  ui.cmbSpeed->setToolTip(QStringLiteral("Baud: pick one, or type any whole number and press Enter"));
  ui.cmbDataBits = Choices("cmbDataBits", Captions(ports::kDataBitsChoices), frame);
  ui.cmbParity = Choices("cmbParity", Captions(ports::kParityChoices), frame);
  ui.cmbStopBits = Choices("cmbStopBits", Captions(ports::kStopBitsChoices), frame);
  ui.cmbFlow = Choices("cmbFlow", Captions(ports::kFlowChoices), frame);
  ui.cmbLinesOnOpen = Choices("cmbLinesOnOpen", Captions(ports::kLinesOnOpenChoices), frame);
  ui.chkDtr = LineToggle("chkDtr", "DTR", "Data Terminal Ready: down while the line is on", frame);
  ui.chkRts = LineToggle("chkRts", "RTS", "Request To Send: down while the line is on", frame);
  ui.cmdSendBreak = new QPushButton(QStringLiteral("Send break"), frame);
  ui.cmdSendBreak->setObjectName(QStringLiteral("cmdSendBreak"));
  ui.cmdSendBreak->setToolTip(QStringLiteral("Hold the line in the break state for 250 ms"));
  for (QWidget* control : {static_cast<QWidget*>(ui.chkDtr), static_cast<QWidget*>(ui.chkRts),
                           static_cast<QWidget*>(ui.cmdSendBreak)}) {
    control->setProperty("tipWhenUsable", control->toolTip());  // told again once the lines work
  }
  ui.lblCts = LineLamp("lblCts", "CTS", "Clear To Send", frame);
  ui.lblDsr = LineLamp("lblDsr", "DSR", "Data Set Ready", frame);
  ui.lblDcd = LineLamp("lblDcd", "DCD", "Data Carrier Detect", frame);
  ui.lblRi = LineLamp("lblRi", "RI", "Ring Indicator", frame);
  auto* outputs = new QHBoxLayout;
  outputs->addWidget(ui.chkDtr);
  outputs->addWidget(ui.chkRts);
  outputs->addWidget(ui.cmdSendBreak);
  auto* inputs = new QHBoxLayout;
  for (QLabel* lamp : {ui.lblCts, ui.lblDsr, ui.lblDcd, ui.lblRi}) {
    inputs->addWidget(lamp);
  }
  form->addRow(QStringLiteral("Speed"), ui.cmbSpeed);
  form->addRow(QStringLiteral("Data bits"), ui.cmbDataBits);
  form->addRow(QStringLiteral("Parity"), ui.cmbParity);
  form->addRow(QStringLiteral("Stop bits"), ui.cmbStopBits);
  form->addRow(QStringLiteral("Flow control"), ui.cmbFlow);
  form->addRow(QStringLiteral("On open"), ui.cmbLinesOnOpen);
  form->addRow(QStringLiteral("Lines"), outputs);
  form->addRow(QString(), inputs);
  return frame;
}

QGroupBox* BuildCommsFrame(SettingsTabUi& ui, QWidget* parent) {
  auto* frame = new QGroupBox(QStringLiteral("Comms parameters"), parent);
  ui.fraCommsParameters = frame;
  auto* row = new QHBoxLayout(frame);
  auto* baud = new QGroupBox(QStringLiteral("Baud"), frame);
  auto* baudLayout = new QVBoxLayout(baud);
  ui.grpBaud = new QButtonGroup(frame);
  for (int i = 0; i < 8; ++i) {
    const auto caption = terminal::kBaudCaptions.at(static_cast<std::size_t>(i));
    ui.optBaud[i] =
        new QRadioButton(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())), baud);
    ui.optBaud[i]->setObjectName(QStringLiteral("optBaud%1").arg(i));
    ui.grpBaud->addButton(ui.optBaud[i], i);
    baudLayout->addWidget(ui.optBaud[i]);
  }
  auto* character = new QGroupBox(QStringLiteral("Character"), frame);
  auto* characterLayout = new QVBoxLayout(character);
  ui.grpCharacter = new QButtonGroup(frame);
  for (int i = 0; i < 5; ++i) {
    const auto caption = terminal::kCharacterCaptions.at(static_cast<std::size_t>(i));
    ui.optCharacter[i] = new QRadioButton(
        QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())), character);
    ui.optCharacter[i]->setObjectName(QStringLiteral("optCharacter%1").arg(i));
    ui.grpCharacter->addButton(ui.optCharacter[i], i);
    characterLayout->addWidget(ui.optCharacter[i]);
  }
  characterLayout->addStretch(1);
  row->addWidget(baud);
  row->addWidget(character);
  row->addWidget(BuildLineFrame(ui, frame));
  row->addStretch(1);
  return frame;
}

// The terminal's log files: ASCII and hex, each with Clear and "...".
QGroupBox* BuildLogFilesFrame(SettingsTabUi& ui, QWidget* tab) {
  auto* logFiles = new QGroupBox(QStringLiteral("Log files"), tab);
  ui.fraLogFiles = logFiles;
  auto* form = new QFormLayout(logFiles);
  ui.txtASCIILogFileName = new QLineEdit(QStringLiteral("ASCII_logfile.log"), logFiles);
  ui.txtASCIILogFileName->setObjectName(QStringLiteral("txtASCIILogFileName"));
  ui.txtHexLogFileName = new QLineEdit(QStringLiteral("Hex_logfile.log"), logFiles);
  ui.txtHexLogFileName->setObjectName(QStringLiteral("txtHexLogFileName"));
  ui.cmdSelectASCIILogFile = SelectLogButton(
      "cmdSelectASCIILogFile", "Choose ASCII log...",
      "Select the file for disk logging of ASCII formatted receive data in Terminal", logFiles);
  ui.cmdSelectHexLogFile =
      SelectLogButton("cmdSelectHexLogFile", "Choose hex log...",
                      "Select the file for disk logging of Hex formatted receive data in Terminal", logFiles);
  ui.cmdClearASCIILogFile2 =
      ClearLogButton("cmdClearASCIILogFile1", "Clear ASCII log", "Empty the ASCII log file", logFiles);
  ui.cmdClearHexLogFile2 =
      ClearLogButton("cmdClearHexLogFile1", "Clear hex log", "Empty the hex log file", logFiles);
  auto* asciiRow = new QHBoxLayout;
  asciiRow->addWidget(ui.txtASCIILogFileName, 1);
  asciiRow->addWidget(ui.cmdClearASCIILogFile2);
  asciiRow->addWidget(ui.cmdSelectASCIILogFile);
  auto* hexRow = new QHBoxLayout;
  hexRow->addWidget(ui.txtHexLogFileName, 1);
  hexRow->addWidget(ui.cmdClearHexLogFile2);
  hexRow->addWidget(ui.cmdSelectHexLogFile);
  form->addRow(QStringLiteral("ASCII log file"), asciiRow);
  form->addRow(QStringLiteral("Hex log file"), hexRow);
  QStringList keeps;
  for (const terminal::Scrollback& choice : terminal::kScrollbackChoices) {
    keeps << QString::fromStdString(choice.Text());
  }
  ui.cmbScrollback = Choices("cmbScrollback", keeps, logFiles);
  ui.cmbScrollback->setEditable(true);
  ui.cmbScrollback->setCompleter(nullptr);  // taken as typed
  ui.cmbScrollback->setInsertPolicy(QComboBox::NoInsert);
  ui.cmbScrollback->setToolTip(
      QStringLiteral("What the Terminal tab's view keeps: pick one, or type a number of lines (1,000 to "
                     "10,000,000) and press Enter"));
  form->addRow(QStringLiteral("Terminal view keeps"), ui.cmbScrollback);
  return logFiles;
}

// The board's log folder and the trace file.
QGroupBox* BuildFilesFrame(SettingsTabUi& ui, QWidget* tab) {
  ui.fraFiles = new QGroupBox(QStringLiteral("Files"), tab);
  ui.fraFiles->setObjectName(QStringLiteral("fraFiles"));
  auto* files = new QGridLayout(ui.fraFiles);
  ui.txtHMIlogFolderName = new QLineEdit(ui.fraFiles);
  ui.txtHMIlogFolderName->setObjectName(QStringLiteral("txtHMIlogFolderName"));
  ui.cmdSelectHMILogFolder = SelectLogButton("cmdSelectHMILogFolder", "Choose log folder...",
                                             "Select the folder for the board's log files", ui.fraFiles);
  ui.txtHMITraceFileName = new QLineEdit(QStringLiteral("HMI_tracefile.txt"), ui.fraFiles);
  ui.txtHMITraceFileName->setObjectName(QStringLiteral("txtHMITraceFileName"));
  ui.cmdClearHMILogFile2 = new QPushButton(QStringLiteral("Clear trace file"), ui.fraFiles);
  ui.cmdClearHMILogFile2->setObjectName(QStringLiteral("cmdClearHMILogFile2"));
  ui.cmdClearHMILogFile2->setToolTip(
      WithEarlierCaption(QStringLiteral("Empty the trace file on disk"), "Clear"));
  ui.cmdSelectHMILogFile =
      SelectLogButton("cmdSelectHMILogFile", "Choose trace file...", "Select the trace file", ui.fraFiles);
  files->addWidget(
      new QLabel(QStringLiteral("Select the FOLDER for disk data from Korvani LOG commands."), ui.fraFiles),
      0, 0, 1, 3);
  files->addWidget(ui.txtHMIlogFolderName, 1, 0, 1, 2);
  files->addWidget(ui.cmdSelectHMILogFolder, 1, 2);
  files->addWidget(
      new QLabel(QStringLiteral("Select the file for disk data from Korvani TRACE commands."), ui.fraFiles),
      2, 0, 1, 3);
  files->addWidget(ui.txtHMITraceFileName, 3, 0);
  files->addWidget(ui.cmdClearHMILogFile2, 3, 1);
  files->addWidget(ui.cmdSelectHMILogFile, 3, 2);
  return ui.fraFiles;
}

}  // namespace

void BuildSettingsTab(SettingsTabUi& ui, QWidget* tab) {
  auto* layout = new QVBoxLayout(tab);
  auto* hint =
      new QLabel(QStringLiteral("Hint: Make sure the Open button is down to know the port is AOK"), tab);
  layout->addWidget(BuildPortFrame(ui, tab));
  layout->addWidget(hint);
  layout->addWidget(BuildCommsFrame(ui, tab));
  ui.Label1 = new QLabel(
      QStringLiteral("The range of selectable comms parameters corresponds to those available in the "
                     "User Protocol. Double click this comment for details (Internet connection "
                     "required)."),
      tab);
  ui.Label1->setObjectName(QStringLiteral("Label1"));
  ui.Label1->setWordWrap(true);
  layout->addWidget(ui.Label1);
  layout->addWidget(BuildLogFilesFrame(ui, tab));
  layout->addWidget(BuildFilesFrame(ui, tab));
  ui.chkUpdateCheck = new QCheckBox(QStringLiteral("Check for a newer version at start"), tab);
  ui.chkUpdateCheck->setObjectName(QStringLiteral("chkUpdateCheck"));
  ui.chkUpdateCheck->setChecked(true);
  ui.chkUpdateCheck->setToolTip(QStringLiteral(
      "Fetch the product page once at start to compare versions. Off: the program contacts nothing "
      "unless you open a network port or ask for the help page (also --no-update-check)"));
  ui.cmdAbout = new QPushButton(QStringLiteral("About Korvani..."), tab);
  ui.cmdAbout->setObjectName(QStringLiteral("cmdAbout"));
  ui.cmdAbout->setToolTip(
      QStringLiteral("The version, the licence (GPL-3.0-or-later) and the libraries used"));
  auto* lastRow = new QHBoxLayout;
  lastRow->addWidget(ui.chkUpdateCheck);
  lastRow->addStretch(1);
  lastRow->addWidget(ui.cmdAbout);
  layout->addLayout(lastRow);
  layout->addStretch(1);
}

}  // namespace korvani::ui
