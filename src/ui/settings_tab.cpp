// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings_tab.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <algorithm>

#include "app/panel.h"
#include "app/version.h"
#include "terminal/connection.h"
#include "ui/tab_building.h"

namespace korvani::ui {

namespace {

std::string ToName(const QString& text) {
  return text.toStdString();  // file and folder names: UTF-8
}

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

SettingsTab::SettingsTab(const FaultReport& report, QLabel& portStatus, QLabel& portProblem)
    : PanelTab(report), PortStatus(portStatus), PortProblem(portProblem) {
  BuildSettingsTab(Widgets, this);
  LinesTimer.setInterval(kLinesPollMs);
  connect(&LinesTimer, &QTimer::timeout, this,
          Do([](app::Panel& p) { p.Current().Connection().WatchLines(); }));
}

void SettingsTab::Attach(app::Panel& panel) {
  Attached = &panel;
  AttachPort();
  AttachLine();
  AttachFiles();
}

void SettingsTab::AttachPort() {
  const SettingsTabUi& w = Widgets;
  connect(w.chkComPortOpen, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().Connection().ApplyOpenButton(); }));
  connect(w.cmbComPort, &QComboBox::activated, this,
          Do([](app::Panel& p) { p.Current().ApplyChosenPort(); }));
  connect(w.cmdRefreshPorts, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().RefreshPorts(); }));
  connect(w.chkHideBT, &QCheckBox::clicked, this, Do([](app::Panel& p) { p.Current().RefreshPorts(); }));
  connect(w.cmdAddNetworkPort, &QPushButton::clicked, this, Do([this](app::Panel&) { AddNetworkPort(); }));
  connect(w.cmdReplay, &QPushButton::clicked, this, Do([this](app::Panel&) { Replay(); }));
  connect(w.cmdRecord, &QPushButton::clicked, this, Do([this](app::Panel&) { Record(); }));
  connect(w.chkUpdateCheck, &QCheckBox::clicked, this,
          Do([](app::Panel& p, bool ticked) { p.SetUpdateCheck(ticked); }));
  connect(w.cmdAbout, &QPushButton::clicked, this, [this] {
    QMessageBox about(
        QMessageBox::Information, QStringLiteral("About Korvani"),
        QStringLiteral("Korvani %1\n\n%2\n\nIt uses Qt %3 (LGPL-3.0), QCustomPlot (GPL-3.0-or-later) "
                       "and libvterm (MIT), and runs lrzsz (GPL-2.0-or-later) for file "
                       "transfers when it is installed.")
            .arg(FromUtf8(app::VersionText()), QString::fromLatin1(app::kLicenceText),
                 QString::fromLatin1(qVersion())),
        QMessageBox::Ok, this);
    about.setTextFormat(Qt::PlainText);  // the licence's address in angle brackets is no markup
    about.exec();
  });
  w.Label1->installEventFilter(this);  // a double click opens the help page
}

void SettingsTab::AttachLine() {
  const SettingsTabUi& w = Widgets;
  connect(w.grpBaud, &QButtonGroup::idClicked, this, Do([](app::Panel& p, int index) {
            p.Current().Connection().ChooseBaud(static_cast<std::int16_t>(index));
          }));
  connect(w.grpCharacter, &QButtonGroup::idClicked, this, Do([](app::Panel& p, int index) {
            p.Current().Connection().ChooseFormat(static_cast<std::int16_t>(index));
          }));
  const auto speed = Do([this](app::Panel& p) {
    p.Current().Connection().ChooseSpeedText(Widgets.cmbSpeed->currentText().toStdString());
  });
  connect(w.cmbSpeed, &QComboBox::activated, this, speed);
  connect(w.cmbSpeed->lineEdit(), &QLineEdit::returnPressed, this, speed);
  for (QComboBox* box : {w.cmbDataBits, w.cmbParity, w.cmbStopBits, w.cmbFlow, w.cmbLinesOnOpen}) {
    connect(box, &QComboBox::activated, this,
            Do([this](app::Panel& p) { p.Current().Connection().ChooseLine(LineChosen()); }));
  }
  connect(w.chkDtr, &QPushButton::clicked, this,
          Do([](app::Panel& p, bool down) { p.Current().Connection().SetDtr(down); }));
  connect(w.chkRts, &QPushButton::clicked, this,
          Do([](app::Panel& p, bool down) { p.Current().Connection().SetRts(down); }));
  connect(w.cmdSendBreak, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().Connection().SendBreak(); }));
  const auto scrollback = Do([this](app::Panel& p) {
    p.Current().ChooseScrollback(Widgets.cmbScrollback->currentText().toStdString());
  });
  connect(w.cmbScrollback, &QComboBox::activated, this, scrollback);
  connect(w.cmbScrollback->lineEdit(), &QLineEdit::returnPressed, this, scrollback);
}

void SettingsTab::AttachFiles() {
  const SettingsTabUi& w = Widgets;
  const auto traceName =
      Do([](app::Panel& p, const QString& name) { p.Current().ScreenLog().SetTraceFileName(ToName(name)); });
  const auto asciiName =
      Do([](app::Panel& p, const QString& name) { p.Current().Receive().SetAsciiLogFileName(ToName(name)); });
  const auto hexName =
      Do([](app::Panel& p, const QString& name) { p.Current().Receive().SetHexLogFileName(ToName(name)); });
  connect(w.txtHMIlogFolderName, &QLineEdit::textChanged, this, Do([](app::Panel& p, const QString& folder) {
            p.Current().LogFiles().SetLogFolder(ToName(folder));
          }));
  connect(w.cmdSelectHMILogFolder, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().LogFiles().CreateLogDir(true); }));
  connect(w.txtHMITraceFileName, &QLineEdit::textChanged, this, traceName);
  connect(w.cmdSelectHMILogFile, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().ScreenLog().SelectTraceFile(); }));
  connect(w.cmdClearHMILogFile2, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().ScreenLog().ClearTraceFile(); }));
  connect(w.txtASCIILogFileName, &QLineEdit::textChanged, this, asciiName);
  connect(w.txtHexLogFileName, &QLineEdit::textChanged, this, hexName);
  connect(w.cmdClearASCIILogFile2, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().TerminalLogFiles().ClearAsciiLog(); }));
  connect(w.cmdClearHexLogFile2, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().TerminalLogFiles().ClearHexLog(); }));
  connect(w.cmdSelectASCIILogFile, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().TerminalLogFiles().ChooseAsciiLogFile(); }));
  connect(w.cmdSelectHexLogFile, &QPushButton::clicked, this,
          Do([](app::Panel& p) { p.Current().TerminalLogFiles().ChooseHexLogFile(); }));
  // The names the window starts with are the ones in use until the settings say otherwise.
  traceName(w.txtHMITraceFileName->text());
  asciiName(w.txtASCIILogFileName->text());
  hexName(w.txtHexLogFileName->text());
}

void SettingsTab::AddNetworkPort() {
  bool ok = false;
  const QString typed =
      QInputDialog::getText(this, QStringLiteral("Add network port"),
                            QStringLiteral("The board's bridge, as tcp://HOST:PORT, or a remote serial port\n"
                                           "whose speed and format are set from here, as "
                                           "rfc2217://HOST:PORT:"),
                            QLineEdit::Normal, QStringLiteral("tcp://"), &ok);
  if (ok) {
    Attached->Current().AddNetworkPort(typed.toStdString());
  }
}

void SettingsTab::Replay() {
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Replay a recorded session"), QString(),
                                   QStringLiteral("Recorded sessions (*.kvr);;All files (*)"));
  if (!path.isEmpty()) {
    Attached->Current().ReplaySession(path.toStdString());
  }
}

void SettingsTab::Record() {
  if (Attached->Current().Recording()) {
    Attached->Current().StopRecording();
    return;
  }
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Record the session to"), QStringLiteral("session.kvr"),
      QStringLiteral("Recorded sessions (*.kvr);;All files (*)"));
  if (!path.isEmpty()) {
    Attached->Current().StartRecording(path.toStdString());
  }
}

bool SettingsTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Widgets.Label1 && event->type() == QEvent::MouseButtonDblClick && Attached != nullptr) {
    RunGuarded(Report, [this] { Attached->OpenHelpPage(); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void SettingsTab::SetInView(bool inView) {
  if (inView) {
    LinesTimer.start();
  } else {
    LinesTimer.stop();
  }
}

void SettingsTab::ShowTerminalFunctions(bool available) {
  Widgets.fraCommsParameters->setVisible(available);
  Widgets.fraLogFiles->setVisible(available);  // the terminal's log-file settings
}

void SettingsTab::ShowLineSettings(const ports::LineSettings& line) {
  CheckOption(*Widgets.grpBaud, ports::QuickBaudIndex(line.Baud));
  CheckOption(*Widgets.grpCharacter, ports::QuickFormatIndex(line));
  Widgets.cmbSpeed->setCurrentText(QString::number(line.Baud));
  const std::array<int, 5> at = ports::ChoicePositions(line);
  const std::array<QComboBox*, 5> boxes = {Widgets.cmbDataBits, Widgets.cmbParity, Widgets.cmbStopBits,
                                           Widgets.cmbFlow, Widgets.cmbLinesOnOpen};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    boxes[i]->setCurrentIndex(at[i]);
  }
}

ports::LineSettings SettingsTab::LineChosen() const {
  return ports::WithChoices(Attached->Current().Connection().Line(), Widgets.cmbDataBits->currentIndex(),
                            Widgets.cmbParity->currentIndex(), Widgets.cmbStopBits->currentIndex(),
                            Widgets.cmbFlow->currentIndex(), Widgets.cmbLinesOnOpen->currentIndex());
}

void SettingsTab::ShowControlLines(const ports::ControlLines& lines, bool portOpen, bool rtsByDriver,
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

bool SettingsTab::OpenChecked() const {
  return Widgets.chkComPortOpen->isChecked();
}

void SettingsTab::SetOpenChecked(bool checked) {
  Widgets.chkComPortOpen->setChecked(checked);
}

void SettingsTab::ShowLineApplies(bool applies) {
  const QString tip =
      applies ? QString() : QStringLiteral("Not applicable to the port chosen: it has no line of its own");
  for (QWidget* frame :
       {static_cast<QWidget*>(Widgets.fraLine), static_cast<QWidget*>(Widgets.fraCommsParameters)}) {
    frame->setEnabled(applies);
    frame->setToolTip(tip);
  }
}

void SettingsTab::ShowConnectionStatus(std::string_view status) {
  PortStatus.setText(FromUtf8(status));
}

void SettingsTab::ShowConnectionProblem(std::string_view problem) {
  PortProblem.setText(FromUtf8(problem));
}

void SettingsTab::ClearComPorts() {
  Widgets.cmbComPort->clear();
}

void SettingsTab::AddComPort(std::string_view name) {
  Widgets.cmbComPort->addItem(FromUtf8(name));
}

void SettingsTab::SetComPortText(std::string_view text) {
  Widgets.cmbComPort->setCurrentIndex(-1);
  Widgets.cmbComPort->setEditText(FromUtf8(text));
}

void SettingsTab::SelectComPort(int index) {
  Widgets.cmbComPort->setCurrentIndex(index);
}

std::string SettingsTab::ComPortText() const {
  return Widgets.cmbComPort->currentText().toStdString();
}

void SettingsTab::SetAsciiLogFileName(std::string_view name) {
  Widgets.txtASCIILogFileName->setText(FromUtf8(name));
}

void SettingsTab::SetHexLogFileName(std::string_view name) {
  Widgets.txtHexLogFileName->setText(FromUtf8(name));
}

void SettingsTab::SetTraceFileName(std::string_view name) {
  Widgets.txtHMITraceFileName->setText(FromUtf8(name));
}

bool SettingsTab::HideBluetoothChecked() const {
  return Widgets.chkHideBT->isChecked();
}

void SettingsTab::ShowLogFolder(std::string_view folder) {
  Widgets.txtHMIlogFolderName->setText(FromUtf8(folder));
}

void SettingsTab::ShowRecording(std::string_view path) {
  const QString file = FromUtf8(path);
  Widgets.cmdRecord->setText(file.isEmpty() ? QStringLiteral("Record...") : QStringLiteral("Stop recording"));
  Widgets.cmdRecord->setToolTip(file.isEmpty() ? QString::fromLatin1(kRecordTip)
                                               : QStringLiteral("Recording to ") + file);
}

void SettingsTab::ShowScrollback(const terminal::Scrollback& scrollback) {
  Widgets.cmbScrollback->setCurrentText(QString::fromStdString(scrollback.Text()));
}

void SettingsTab::SetCheckBox(app::SettingsCheck which, bool ticked) {
  if (which == app::SettingsCheck::UpdateCheck) {
    Widgets.chkUpdateCheck->setChecked(ticked);
  }
}

}  // namespace korvani::ui
