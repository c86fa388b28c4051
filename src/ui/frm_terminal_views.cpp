// What the core shows on the Settings tab (the port, the line, the files) and the settings
// the window keeps for it: FrmTerminal's view interfaces for those.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

#include "app/panel.h"
#include "terminal/connection.h"
#include "ui/frm_terminal.h"
#include "ui/frm_terminal_tabs.h"

namespace korvani::ui {

namespace {
// The "On open" choices, in the box's order: DTR, then RTS.
constexpr std::array<std::array<bool, 2>, 4> kLinesOnOpen = {
    {{true, true}, {false, false}, {true, false}, {false, true}}};
constexpr std::array<char, 5> kParities = {'N', 'E', 'O', 'M', 'S'};
constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};

// Checks the option of the index, or none of the group's when it is -1.
void CheckOption(QButtonGroup& group, int index) {
  if (index >= 0) {
    group.button(index)->setChecked(true);
    return;
  }
  group.setExclusive(false);
  for (QAbstractButton* button : group.buttons()) {
    button->setChecked(false);
  }
  group.setExclusive(true);
}

void ShowLamp(QLabel& lamp, bool on) {
  lamp.setEnabled(on);
  lamp.setStyleSheet(on ? QStringLiteral("background-color: #3c3; color: black;") : QString());
}
}  // namespace

void FrmTerminal::ShowLineSettings(const terminal::LineSettings& line) {
  CheckOption(*Widgets.grpBaud, terminal::QuickBaudIndex(line.Baud));
  CheckOption(*Widgets.grpCharacter, terminal::QuickFormatIndex(line));
  Widgets.cmbSpeed->setCurrentText(QString::number(line.Baud));
  Widgets.cmbDataBits->setCurrentIndex(line.DataBits - 5);
  Widgets.cmbParity->setCurrentIndex(
      static_cast<int>(std::find(kParities.begin(), kParities.end(), line.Parity) - kParities.begin()));
  Widgets.cmbStopBits->setCurrentIndex(
      static_cast<int>(std::find(kStopBits.begin(), kStopBits.end(), line.StopBits) - kStopBits.begin()));
  Widgets.cmbFlow->setCurrentIndex(static_cast<int>(line.Flow));
  const std::array<bool, 2> onOpen = {line.DtrOnOpen, line.RtsOnOpen};
  Widgets.cmbLinesOnOpen->setCurrentIndex(
      static_cast<int>(std::find(kLinesOnOpen.begin(), kLinesOnOpen.end(), onOpen) - kLinesOnOpen.begin()));
}

terminal::LineSettings FrmTerminal::LineChosen() const {
  terminal::LineSettings line = Panel->Connection().Line();
  line.DataBits = static_cast<std::int16_t>(Widgets.cmbDataBits->currentIndex() + 5);
  line.Parity = kParities.at(static_cast<std::size_t>(Widgets.cmbParity->currentIndex()));
  line.StopBits = std::string(kStopBits.at(static_cast<std::size_t>(Widgets.cmbStopBits->currentIndex())));
  line.Flow = static_cast<terminal::FlowControl>(Widgets.cmbFlow->currentIndex());
  const std::array<bool, 2>& onOpen =
      kLinesOnOpen.at(static_cast<std::size_t>(Widgets.cmbLinesOnOpen->currentIndex()));
  line.DtrOnOpen = onOpen[0];
  line.RtsOnOpen = onOpen[1];
  return line;
}

void FrmTerminal::ShowControlLines(const terminal::ControlLines& lines, bool portOpen, bool rtsByDriver,
                                   bool hasLines) {
  Widgets.chkDtr->setChecked(lines.Dtr);
  Widgets.chkRts->setChecked(lines.Rts);
  Widgets.chkDtr->setEnabled(hasLines);
  Widgets.chkRts->setEnabled(hasLines && !rtsByDriver);
  Widgets.cmdSendBreak->setEnabled(hasLines);
  const QString none = QStringLiteral(
      "The port open now has no control lines (a pseudo-terminal, a network port, a replay or the "
      "demo board): nothing to set");
  const QString why = !portOpen ? QStringLiteral("Open the port first") : hasLines ? QString() : none;
  for (QWidget* control : {static_cast<QWidget*>(Widgets.chkDtr), static_cast<QWidget*>(Widgets.chkRts),
                           static_cast<QWidget*>(Widgets.cmdSendBreak)}) {
    control->setToolTip(why.isEmpty() ? control->property("tipWhenUsable").toString() : why);
  }
  ShowLamp(*Widgets.lblCts, lines.Cts);
  ShowLamp(*Widgets.lblDsr, lines.Dsr);
  ShowLamp(*Widgets.lblDcd, lines.Dcd);
  ShowLamp(*Widgets.lblRi, lines.Ri);
}

bool FrmTerminal::OpenChecked() const {
  return Widgets.chkComPortOpen->isChecked();
}

void FrmTerminal::SetOpenChecked(bool checked) {
  Widgets.chkComPortOpen->setChecked(checked);
}

void FrmTerminal::ShowConnectionStatus(std::string_view status) {
  Widgets.lblPortStatus->setText(QString::fromUtf8(status.data(), static_cast<qsizetype>(status.size())));
}

void FrmTerminal::ShowConnectionProblem(std::string_view problem) {
  Widgets.lblPortProblem->setText(QString::fromUtf8(problem.data(), static_cast<qsizetype>(problem.size())));
}

void FrmTerminal::ShowLineApplies(bool applies) {
  const QString tip =
      applies ? QString() : QStringLiteral("Not applicable to the port chosen: it has no line of its own");
  for (QWidget* frame :
       {static_cast<QWidget*>(Widgets.fraLine), static_cast<QWidget*>(Widgets.fraCommsParameters)}) {
    frame->setEnabled(applies);
    frame->setToolTip(tip);
  }
}

void FrmTerminal::ShowRecording(std::string_view path) {
  const QString file = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
  Widgets.cmdRecord->setText(file.isEmpty() ? QStringLiteral("Record...") : QStringLiteral("Stop recording"));
  Widgets.cmdRecord->setToolTip(file.isEmpty() ? QString::fromLatin1(kRecordTip)
                                               : QStringLiteral("Recording to ") + file);
}

void FrmTerminal::ClearComPorts() {
  Widgets.cmbComPort->clear();
}

void FrmTerminal::AddComPort(std::string_view name) {
  Widgets.cmbComPort->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void FrmTerminal::SetComPortText(std::string_view text) {
  Widgets.cmbComPort->setCurrentIndex(-1);
  Widgets.cmbComPort->setEditText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void FrmTerminal::SelectComPort(int index) {
  Widgets.cmbComPort->setCurrentIndex(index);
}

std::string FrmTerminal::ComPortText() const {
  return Widgets.cmbComPort->currentText().toStdString();
}

bool FrmTerminal::HideBluetoothChecked() const {
  return Widgets.chkHideBT->isChecked();
}

void FrmTerminal::ShowHmiLog(std::string_view text) {
  LogPane->Show(text);
}

void FrmTerminal::SetLogFreezeCaption(std::string_view caption) {
  Widgets.cmdLogFrz->setText(ToQString(caption));
}

void FrmTerminal::SetLogPaneVisible(bool visible) {
  Widgets.fraLogging->setVisible(visible);
}

void FrmTerminal::SetTraceFileName(std::string_view name) {
  Widgets.txtHMITraceFileName->setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void FrmTerminal::ShowLogFolder(std::string_view folder) {
  Widgets.txtHMIlogFolderName->setText(
      QString::fromUtf8(folder.data(), static_cast<qsizetype>(folder.size())));
}

void FrmTerminal::SetAsciiLogFileName(std::string_view name) {
  Widgets.txtASCIILogFileName->setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void FrmTerminal::SetHexLogFileName(std::string_view name) {
  Widgets.txtHexLogFileName->setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void FrmTerminal::SetCheckDisp(std::string_view caption) {
  Widgets.lblCheckDisp->setText(ToQString(caption));
}

void FrmTerminal::SetCheckBox(app::SettingsCheck which, bool ticked) {
  switch (which) {
    case app::SettingsCheck::TraceToDisk:
      Widgets.chkHMITraceToDisk->setChecked(ticked);
      break;
    case app::SettingsCheck::LogAscii:
      Widgets.chkLogASCII->setChecked(ticked);
      break;
    case app::SettingsCheck::LogHex:
      Widgets.chkLogHex->setChecked(ticked);
      break;
    case app::SettingsCheck::LogSent:
      Widgets.chkLogSent->setChecked(ticked);
      break;
    case app::SettingsCheck::UpdateCheck:
      Widgets.chkUpdateCheck->setChecked(ticked);
      break;
  }
}

void FrmTerminal::ShowLineEnd(terminal::LineEnd end) {
  const auto* found = std::find(terminal::kLineEnds.begin(), terminal::kLineEnds.end(), end);
  Widgets.cmbLineEnd->setCurrentIndex(static_cast<int>(found - terminal::kLineEnds.begin()));
}

void FrmTerminal::SetTxLine(int index, std::string_view text) {
  Widgets.txtTx[index]->setText(ToQString(text));
}

}  // namespace korvani::ui
