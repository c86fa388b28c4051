// frmTerminal's slots: what each control of the window does, forwarded in one line to the
// panel's operation for it. Every connection runs guarded (see guarded.h).
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QShortcut>
#include <QValidator>

#include "app/panel.h"
#include "ui/frm_terminal.h"

namespace korvani::ui {

namespace {

std::string ToBytes(const QString& text) {
  return text.toLatin1().toStdString();  // board text: one byte a character
}

std::string ToName(const QString& text) {
  return text.toStdString();  // file and folder names: UTF-8
}

// The data-entry box takes only texts the panel's entry accepts.
class EntryValidator final : public QValidator {
 public:
  EntryValidator(const hmi::screen::DataEntry& entry, QObject* parent) : QValidator(parent), Entry(entry) {}
  State validate(QString& input, int& /*position*/) const override {
    return Entry.EntryTextAllowed(input.toStdString()) ? Acceptable : Invalid;
  }

 private:
  const hmi::screen::DataEntry& Entry;
};

}  // namespace

void FrmTerminal::Attach(app::Panel& panel) {
  Panel = &panel;
  Widgets.txtRxData->SetFaultReport(Report);
  Widgets.txtRxData->SetHistory(&panel.Receive().History(),
                                [&panel] { return panel.Receive().HistoryShownEnd(); });
  AttachTerminalTab();
  AttachHmiTab();
  AttachSettingsTab();
  PortWatchTimer.setInterval(1000);
  FitTimer.setSingleShot(true);
  FitTimer.setInterval(30);
  connect(&FitTimer, &QTimer::timeout, this, Slot(&FrmTerminal::FitScreen));
  connect(&PortWatchTimer, &QTimer::timeout, this, Slot(&FrmTerminal::tmrPortWatch_Timer));
  PortWatchTimer.start();
}

void FrmTerminal::AttachTerminalTab() {
  connect(Widgets.chkTimestamps, &QCheckBox::clicked, this, Slot(&FrmTerminal::chkTimestamps_Click));
  connect(Widgets.chkShowSent, &QCheckBox::clicked, this, Slot(&FrmTerminal::chkShowSent_Click));
  connect(Widgets.cmdSaveView, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdSaveView_Click));
  for (int i = 0; i < terminal::kTxLineCount; ++i) {
    connect(Widgets.chkRepeat[i], &QCheckBox::toggled, this,
            Guarded(Report, [this, i] { chkRepeat_Change(i); }));
    connect(Widgets.spnRepeat[i], &QSpinBox::valueChanged, this,
            Guarded(Report, [this, i] { chkRepeat_Change(i); }));
  }
  // Find: Ctrl+F on the Terminal tab, Enter or Next, Previous; Esc closes the bar.
  auto* find = new QShortcut(QKeySequence::Find, Widgets.SSTab1->widget(app::kTerminalTab));
  find->setContext(Qt::WidgetWithChildrenShortcut);
  connect(find, &QShortcut::activated, this, Slot(&FrmTerminal::ShowFindBar));
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), Widgets.fraFind);
  close->setContext(Qt::WidgetWithChildrenShortcut);
  connect(close, &QShortcut::activated, this, Slot(&FrmTerminal::HideFindBar));
  connect(Widgets.txtFind, &QLineEdit::returnPressed, this, Guarded(Report, [this] { FindInView(true); }));
  connect(Widgets.cmdFindNext, &QPushButton::clicked, this, Guarded(Report, [this] { FindInView(true); }));
  connect(Widgets.cmdFindPrevious, &QPushButton::clicked, this,
          Guarded(Report, [this] { FindInView(false); }));
  connect(Widgets.cmdRxFreeze, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdRxFreeze_Click));
  connect(Widgets.cmdRxClear, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdRxClear_Click));
  connect(Widgets.optRxASCII, &QRadioButton::clicked, this, Slot(&FrmTerminal::optRxASCII_Click));
  connect(Widgets.optRxHex, &QRadioButton::clicked, this, Slot(&FrmTerminal::optRxHex_Click));
  connect(Widgets.chkLogASCII, &QCheckBox::toggled, this, Slot(&FrmTerminal::chkLogASCII_Click));
  connect(Widgets.chkLogHex, &QCheckBox::toggled, this, Slot(&FrmTerminal::chkLogHex_Click));
  for (int i = 0; i < terminal::kTxLineCount; ++i) {
    connect(Widgets.txtTx[i], &QLineEdit::textChanged, this,
            Guarded(Report, [this, i](const QString& text) { txtTx_Change(i, text); }));
    connect(Widgets.txtTx[i], &QLineEdit::selectionChanged, this,
            Guarded(Report, [this, i] { txtTx_Click(i); }));
    Widgets.txtTx[i]->installEventFilter(this);
    connect(Widgets.cmdSend[i], &QPushButton::clicked, this,
            Guarded(Report, [this, i] { cmdSend_Click(i); }));
    // Enter sends the line, as its Send button does.
    connect(Widgets.txtTx[i], &QLineEdit::returnPressed, this,
            Guarded(Report, [this, i] { cmdSend_Click(i); }));
  }
  connect(Widgets.chkLogSent, &QCheckBox::toggled, this, Slot(&FrmTerminal::chkLogSent_Click));
  chkLogSent_Click(Widgets.chkLogSent->isChecked());
  connect(Widgets.cmbLineEnd, &QComboBox::activated, this, Guarded(Report, [this](int index) {
            Panel->Transmit().SetLineEnd(terminal::kLineEnds.at(static_cast<std::size_t>(index)));
          }));
}

void FrmTerminal::AttachHmiTab() {
  connect(Widgets.cmdHMIConnect, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMIConnect_Click));
  connect(Widgets.cmdSetRTC, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdSetRTC_Click));
  connect(Widgets.cmdHMIReset, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMIReset_Click));
  connect(Widgets.cmdHMICLS, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMICLS_Click));
  connect(Widgets.cmdHMIRulers, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMIRulers_Click));
  connect(Widgets.cmdSaveScreen, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdSaveScreen_Click));
  connect(Widgets.cmdFullScreen, &QPushButton::clicked, this,
          Guarded(Report, [this] { SetFullScreen(true); }));
  // Whatever has the focus while the panel tab is in view, the tab bar included.
  auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
  connect(copy, &QShortcut::activated, this, Slot(&FrmTerminal::CopyScreen));
  connect(Widgets.grpAspectRatio, &QButtonGroup::idClicked, this, Slot(&FrmTerminal::optAspectRatio_Click));
  connect(Widgets.cmdHMISetWidth, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMISetWidth_Click));
  connect(Widgets.cmdHMITestSend, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMITestSend_Click));
  connect(Widgets.cmdLogFrz, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdLogFrz_Click));
  connect(Widgets.cmdLogMarker, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdLogMarker_Click));
  connect(Widgets.cmdLogCLS, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdLogCLS_Click));
  connect(Widgets.cmdHideLog, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHideLog_Click));
  connect(Widgets.cmdShowTrace, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdShowTrace_Click));
  connect(Widgets.chkHMITraceToDisk, &QCheckBox::toggled, this, Slot(&FrmTerminal::chkHMITraceToDisk_Click));
  connect(Widgets.cmdHMIDataOK, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdHMIDataOK_Click));
  connect(Widgets.cmdHMIDataEntryCancel, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdHMIDataEntryCancel_Click));
  // Typed keys are filtered by the key filter; whatever gets past it (a paste, a drop) must
  // leave a text the entry accepts whole, or the box keeps what it had.
  Widgets.txtHMIDataEntry->setValidator(new EntryValidator(Panel->Entry(), Widgets.txtHMIDataEntry));
  connect(Widgets.txtHMIDataEntry, &QLineEdit::inputRejected, this,
          Slot(&FrmTerminal::txtHMIDataEntry_InputRejected));
  Widgets.txtHMIDataEntry->installEventFilter(this);
  Widgets.lblToastMsg->installEventFilter(this);
  Widgets.fraScreenArea->installEventFilter(this);  // full screen: its surround
  Widgets.lblDismissToastMsg->installEventFilter(this);
}

void FrmTerminal::AttachSettingsTab() {
  connect(Widgets.chkComPortOpen, &QPushButton::clicked, this, Slot(&FrmTerminal::chkComPortOpen_Click));
  connect(Widgets.cmbComPort, &QComboBox::activated, this, Slot(&FrmTerminal::cmbComPort_Click));
  connect(Widgets.grpBaud, &QButtonGroup::idClicked, this, Slot(&FrmTerminal::optBaud_Click));
  connect(Widgets.grpCharacter, &QButtonGroup::idClicked, this, Slot(&FrmTerminal::optCharacter_Click));
  connect(Widgets.cmbSpeed, &QComboBox::activated, this, Slot(&FrmTerminal::cmbSpeed_Click));
  connect(Widgets.cmbSpeed->lineEdit(), &QLineEdit::returnPressed, this, Slot(&FrmTerminal::cmbSpeed_Click));
  for (QComboBox* box : {Widgets.cmbDataBits, Widgets.cmbParity, Widgets.cmbStopBits, Widgets.cmbFlow,
                         Widgets.cmbLinesOnOpen}) {
    connect(box, &QComboBox::activated, this, Slot(&FrmTerminal::cmbLine_Click));
  }
  connect(Widgets.chkDtr, &QPushButton::clicked, this, Slot(&FrmTerminal::chkDtr_Click));
  connect(Widgets.chkRts, &QPushButton::clicked, this, Slot(&FrmTerminal::chkRts_Click));
  connect(Widgets.cmdSendBreak, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdSendBreak_Click));
  connect(Widgets.cmbScrollback, &QComboBox::activated, this, Slot(&FrmTerminal::cmbScrollback_Click));
  connect(Widgets.cmbScrollback->lineEdit(), &QLineEdit::returnPressed, this,
          Slot(&FrmTerminal::cmbScrollback_Click));
  // The input lines' lamps are polled while the Settings tab is in view, and only then.
  LinesTimer.setInterval(kLinesPollMs);
  connect(&LinesTimer, &QTimer::timeout, this, Slot(&FrmTerminal::tmrLines_Timer));
  connect(Widgets.SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == app::kSettingsTab) {
      LinesTimer.start();
    } else {
      LinesTimer.stop();
    }
  });
  connect(Widgets.cmdRefreshPorts, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdRefreshPorts_Click));
  connect(Widgets.cmdAddNetworkPort, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdAddNetworkPort_Click));
  connect(Widgets.cmdReplay, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdReplay_Click));
  connect(Widgets.cmdRecord, &QPushButton::clicked, this, Slot(&FrmTerminal::cmdRecord_Click));
  connect(Widgets.chkHideBT, &QCheckBox::clicked, this, Slot(&FrmTerminal::chkHideBT_Click));
  connect(Widgets.chkUpdateCheck, &QCheckBox::clicked, this,
          Guarded(Report, [this](bool ticked) { Panel->SetUpdateCheck(ticked); }));
  connect(Widgets.txtHMIlogFolderName, &QLineEdit::textChanged, this,
          Slot(&FrmTerminal::txtHMIlogFolderName_Change));
  connect(Widgets.cmdSelectHMILogFolder, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdSelectHMILogFolder_Click));
  connect(Widgets.txtHMITraceFileName, &QLineEdit::textChanged, this,
          Slot(&FrmTerminal::txtHMITraceFileName_Change));
  connect(Widgets.cmdSelectHMILogFile, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdSelectHMILogFile_Click));
  connect(Widgets.cmdClearHMILogFile, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdClearHMILogFile_Click));
  connect(Widgets.cmdClearHMILogFile2, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdClearHMILogFile_Click));
  connect(Widgets.txtASCIILogFileName, &QLineEdit::textChanged, this,
          Slot(&FrmTerminal::txtASCIILogFileName_Change));
  connect(Widgets.txtHexLogFileName, &QLineEdit::textChanged, this,
          Slot(&FrmTerminal::txtHexLogFileName_Change));
  for (int i = 0; i < 2; ++i) {  // each file has a "Clear" on the Terminal tab and one here
    connect(Widgets.cmdClearASCIILogFile[i], &QPushButton::clicked, this,
            Slot(&FrmTerminal::cmdClearASCIILogFile_Click));
    connect(Widgets.cmdClearHexLogFile[i], &QPushButton::clicked, this,
            Slot(&FrmTerminal::cmdClearHexLogFile_Click));
  }
  connect(Widgets.cmdTerminalLogMarkerLine, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdTerminalLogMarkerLine_Click));
  connect(Widgets.cmdSelectASCIILogFile, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdSelectASCIILogFile_Click));
  connect(Widgets.cmdSelectHexLogFile, &QPushButton::clicked, this,
          Slot(&FrmTerminal::cmdSelectHexLogFile_Click));
  Widgets.Label1->installEventFilter(this);
  // The names the window starts with are the ones in use until the settings say otherwise.
  txtHMITraceFileName_Change(Widgets.txtHMITraceFileName->text());
  txtASCIILogFileName_Change(Widgets.txtASCIILogFileName->text());
  txtHexLogFileName_Change(Widgets.txtHexLogFileName->text());
}

// The Terminal tab.
void FrmTerminal::cmdRxFreeze_Click() {
  Panel->Receive().ToggleFreeze();
}
void FrmTerminal::cmdRxClear_Click() {
  Widgets.txtRxData->FollowNewest();  // an emptied view follows what comes next
  Panel->Receive().ClearPane();
}
void FrmTerminal::optRxASCII_Click() {
  Panel->Receive().ShowAscii();
}
void FrmTerminal::optRxHex_Click() {
  Panel->Receive().ShowHex();
}
void FrmTerminal::ShowFindBar() {
  Widgets.fraFind->show();
  Widgets.txtFind->setFocus();
  Widgets.txtFind->selectAll();
}
void FrmTerminal::HideFindBar() {
  Widgets.fraFind->hide();
  Widgets.txtRxData->EndFind();
  Widgets.txtRxData->setFocus();
}
void FrmTerminal::FindInView(bool forward) {
  using Found = RxView::Found;
  const Found found =
      Widgets.txtRxData->FindNext(Widgets.txtFind->text(), forward, Widgets.chkFindMatchCase->isChecked());
  Widgets.lblFindResult->setText(found == Found::No    ? QStringLiteral("not found")
                                 : found == Found::Yes ? QString()
                                 : forward ? QStringLiteral("passed the end, found from the start")
                                           : QStringLiteral("passed the start, found from the end"));
}
void FrmTerminal::chkRepeat_Change(int index) {
  Panel->Transmit().SetRepeat(index,
                              {Widgets.chkRepeat[index]->isChecked(), Widgets.spnRepeat[index]->value()});
}
void FrmTerminal::cmdSaveView_Click() {
  Panel->SaveReceiveView();
}
void FrmTerminal::chkShowSent_Click(bool ticked) {
  Panel->Receive().SetShowSent(ticked);
}
void FrmTerminal::chkTimestamps_Click(bool ticked) {
  Panel->Receive().SetTimestamps(ticked);
}
void FrmTerminal::chkLogASCII_Click(bool ticked) {
  Panel->Receive().SetAsciiLogging(ticked);
}
void FrmTerminal::chkLogHex_Click(bool ticked) {
  Panel->Receive().SetHexLogging(ticked);
}
void FrmTerminal::txtTx_Change(int index, const QString& text) {
  Panel->Transmit().SetLine(index, ToBytes(text));
}
void FrmTerminal::txtTx_Click(int index) {
  Panel->Transmit().UpdateCheckDisp(index);
}
void FrmTerminal::cmdSend_Click(int index) {
  Panel->Transmit().SendLine(index);
}
void FrmTerminal::chkLogSent_Click(bool ticked) {
  Panel->Transmit().SetLogSent(ticked);
}

// The HMI tab.
void FrmTerminal::cmdHMIConnect_Click() {
  Panel->Connect();
}
void FrmTerminal::cmdSetRTC_Click() {
  Panel->SetBoardClock();
}
void FrmTerminal::cmdHMIReset_Click() {
  Panel->ResetScreen();
}
void FrmTerminal::cmdHMICLS_Click() {
  Panel->ClearScreen();
}
void FrmTerminal::cmdSaveScreen_Click() {
  Panel->SaveScreen();
}
void FrmTerminal::CopyScreen() {
  if (Widgets.SSTab1->currentIndex() != app::kHmiTab) {
    return;
  }
  QGuiApplication::clipboard()->setImage(Widgets.picHMI1->grab().toImage());
}
void FrmTerminal::cmdHMIRulers_Click() {
  Panel->DrawRulers();
}
void FrmTerminal::optAspectRatio_Click(int index) {
  Panel->Controls().ChooseLayout(index);
}
void FrmTerminal::cmdHMISetWidth_Click() {
  Panel->Controls().ApplyWidthBox();
}
void FrmTerminal::cmdHMITestSend_Click() {
  Panel->InjectTestText(ToBytes(Widgets.txtHMIRawRx->text()));
}
void FrmTerminal::cmdHMIUserButton_MouseDown(int index) {
  Panel->Buttons().Press(static_cast<std::int16_t>(index));
}
void FrmTerminal::cmdHMIUserButton_MouseUp(int index) {
  Panel->Buttons().Release(static_cast<std::int16_t>(index));
}
void FrmTerminal::cmdLogFrz_Click() {
  Panel->ScreenLog().ToggleFreeze();
}
void FrmTerminal::cmdLogMarker_Click() {
  Panel->ScreenLog().AddMarker();
}
void FrmTerminal::cmdLogCLS_Click() {
  Panel->ScreenLog().ClearPane();
}
void FrmTerminal::cmdHideLog_Click() {
  Panel->ScreenLog().HidePane();
}
void FrmTerminal::cmdShowTrace_Click() {
  Panel->ScreenLog().ShowPane();
}
void FrmTerminal::chkHMITraceToDisk_Click(bool ticked) {
  Panel->ScreenLog().SetTraceToDisk(ticked);
}
void FrmTerminal::cmdHMIDataOK_Click() {
  Panel->Entry().Accept();
}
void FrmTerminal::cmdHMIDataEntryCancel_Click() {
  Panel->Entry().Cancel();
}
bool FrmTerminal::txtHMIDataEntry_KeyPress(int keyCode) {
  return Panel->Entry().FilterKey(keyCode);
}
void FrmTerminal::txtHMIDataEntry_InputRejected() {
  Panel->Entry().RefuseEdit();
}
void FrmTerminal::lblToastMsg_Click() {
  Panel->Toasts().Dismiss();
}

// The Settings tab.
void FrmTerminal::chkComPortOpen_Click() {
  Panel->Connection().ApplyOpenButton();
}
void FrmTerminal::cmbComPort_Click() {
  Panel->Connection().ApplyChosenPort();
}
void FrmTerminal::optBaud_Click(int index) {
  Panel->Connection().ChooseBaud(static_cast<std::int16_t>(index));
}
void FrmTerminal::optCharacter_Click(int index) {
  Panel->Connection().ChooseFormat(static_cast<std::int16_t>(index));
}
void FrmTerminal::cmbSpeed_Click() {
  Panel->Connection().ChooseSpeedText(Widgets.cmbSpeed->currentText().toStdString());
}
void FrmTerminal::cmbScrollback_Click() {
  Panel->ChooseScrollback(Widgets.cmbScrollback->currentText().toStdString());
}
void FrmTerminal::cmbLine_Click() {
  Panel->Connection().ChooseLine(LineChosen());
}
void FrmTerminal::chkDtr_Click(bool down) {
  Panel->Connection().SetDtr(down);
}
void FrmTerminal::chkRts_Click(bool down) {
  Panel->Connection().SetRts(down);
}
void FrmTerminal::cmdSendBreak_Click() {
  Panel->Connection().SendBreak();
}
void FrmTerminal::tmrLines_Timer() {
  Panel->Connection().WatchLines();
}
void FrmTerminal::cmdRefreshPorts_Click() {
  Panel->RefreshPorts();
}
void FrmTerminal::cmdAddNetworkPort_Click() {
  bool ok = false;
  const QString typed = QInputDialog::getText(this, QStringLiteral("Add network port"),
                                              QStringLiteral("The board's bridge, as tcp://HOST:PORT:"),
                                              QLineEdit::Normal, QStringLiteral("tcp://"), &ok);
  if (ok) {
    Panel->AddNetworkPort(typed.toStdString());
  }
}
void FrmTerminal::cmdReplay_Click() {
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Replay a recorded session"), QString(),
                                   QStringLiteral("Recorded sessions (*.kvr);;All files (*)"));
  if (!path.isEmpty()) {
    Panel->ReplaySession(path.toStdString());
  }
}
void FrmTerminal::cmdRecord_Click() {
  if (Panel->Recording()) {
    Panel->StopRecording();
    return;
  }
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Record the session to"), QStringLiteral("session.kvr"),
      QStringLiteral("Recorded sessions (*.kvr);;All files (*)"));
  if (!path.isEmpty()) {
    Panel->StartRecording(path.toStdString());
  }
}
void FrmTerminal::chkHideBT_Click() {
  Panel->RefreshPorts();
}
void FrmTerminal::tmrPortWatch_Timer() {
  Panel->WatchPort();
}
void FrmTerminal::txtHMIlogFolderName_Change(const QString& folder) {
  Panel->LogFiles().SetLogFolder(ToName(folder));
}
void FrmTerminal::cmdSelectHMILogFolder_Click() {
  Panel->LogFiles().CreateLogDir(true);
}
void FrmTerminal::txtHMITraceFileName_Change(const QString& name) {
  Panel->ScreenLog().SetTraceFileName(ToName(name));
}
void FrmTerminal::cmdSelectHMILogFile_Click() {
  Panel->ScreenLog().SelectTraceFile();
}
void FrmTerminal::cmdClearHMILogFile_Click() {
  Panel->ScreenLog().ClearTraceFile();
}
void FrmTerminal::txtASCIILogFileName_Change(const QString& name) {
  Panel->Receive().SetAsciiLogFileName(ToName(name));
}
void FrmTerminal::txtHexLogFileName_Change(const QString& name) {
  Panel->Receive().SetHexLogFileName(ToName(name));
}
void FrmTerminal::cmdClearASCIILogFile_Click() {
  Panel->TerminalLogFiles().ClearAsciiLog();
}
void FrmTerminal::cmdClearHexLogFile_Click() {
  Panel->TerminalLogFiles().ClearHexLog();
}
void FrmTerminal::cmdTerminalLogMarkerLine_Click() {
  Panel->WriteDivider();
}
void FrmTerminal::cmdSelectASCIILogFile_Click() {
  Panel->TerminalLogFiles().ChooseAsciiLogFile();
}
void FrmTerminal::cmdSelectHexLogFile_Click() {
  Panel->TerminalLogFiles().ChooseHexLogFile();
}
void FrmTerminal::Label1_DblClick() {
  Panel->OpenHelpPage();
}

}  // namespace korvani::ui
