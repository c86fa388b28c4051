// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/terminal_tab.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>

#include "app/session.h"
#include "ui/tab_building.h"

namespace korvani::ui {

TerminalTab::TerminalTab(const FaultReport& report, QLabel& logProblem)
    : SessionTab(report), LogProblem(logProblem) {
  BuildTerminalTab(Widgets, this);
  Widgets.optRxASCII->setChecked(true);
}

void TerminalTab::Attach(app::Session& session,
                         std::function<void(const app::ConsoleOptions&)> consoleChosen) {
  Attached = &session;
  ConsoleChoiceMade = std::move(consoleChosen);
  Widgets.txtRxData->SetFaultReport(Report);
  Widgets.txtRxData->SetHistory(&session.Receive().History(),
                                [&session] { return session.Receive().HistoryShownEnd(); });
  AttachReceive();
  AttachFind();
  AttachTransmit();
  AttachConsole();
  AttachTransfer();
}

void TerminalTab::AttachTransfer() {
  const TerminalTabUi& w = Widgets;
  connect(w.mnuSendFile, &QMenu::aboutToShow, this, [this] { FillTransferMenus(); });
  connect(w.mnuReceiveFile, &QMenu::aboutToShow, this, [this] { FillTransferMenus(); });
  connect(w.cmdTransferCancel, &QPushButton::clicked, this, Do([this](app::Session& s) {
            if (s.Transfers().Running()) {
              s.Transfers().Cancel();
            } else {
              Widgets.fraTransfer->hide();
            }
          }));
}

void TerminalTab::FillTransferMenus() {
  if (Attached == nullptr) {
    return;
  }
  transfer::FileTransfer& files = Attached->Transfers();
  const TerminalTabUi& w = Widgets;
  w.mnuSendFile->clear();
  w.mnuReceiveFile->clear();
  const auto add = [this](QMenu* menu, const QString& caption, const transfer::ProtocolEntry* entry,
                          const std::string& missing) {
    QAction* action = menu->addAction(caption);
    if (!missing.empty()) {
      action->setText(
          caption + QStringLiteral(" (needs the %1 package)").arg(QLatin1String(transfer::kProtocolPackage)));
      action->setToolTip(QString::fromStdString(missing));
      action->setEnabled(false);
      return;
    }
    connect(action, &QAction::triggered, this, Do([entry](app::Session& s) { s.Transfers().Choose(entry); }));
  };
  add(w.mnuSendFile, QStringLiteral("As it is..."), nullptr, {});
  for (const transfer::ProtocolEntry& entry : transfer::kProtocols) {
    add(entry.Way == transfer::Direction::Send ? w.mnuSendFile : w.mnuReceiveFile,
        QLatin1String(entry.Caption), &entry, files.Missing(entry));
  }
  w.mnuReceiveFile->addSeparator();
  QAction* keep = w.mnuReceiveFile->addAction(QStringLiteral("Keep partial files"));
  keep->setCheckable(true);
  keep->setChecked(files.KeepsPartial());
  keep->setToolTip(QStringLiteral("A receive that fails or is cancelled keeps what arrived as NAME.partial"));
  connect(keep, &QAction::toggled, this,
          Do([keep](app::Session& s) { s.Transfers().SetKeepPartial(keep->isChecked()); }));
}

void TerminalTab::ShowTransfer(std::string_view title, std::string_view progress, int percent) {
  const TerminalTabUi& w = Widgets;
  w.lblTransfer->setText(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())) +
                         QStringLiteral(": ") +
                         QString::fromUtf8(progress.data(), static_cast<qsizetype>(progress.size())));
  w.lblTransfer->setToolTip(w.lblTransfer->text());
  w.prgTransfer->setRange(0, percent < 0 ? 0 : 100);  // 0..0: busy, the whole not known
  w.prgTransfer->setValue(std::max(percent, 0));
  w.prgTransfer->show();
  w.cmdTransferCancel->setText(QStringLiteral("Cancel"));
  w.cmdSendFile->setEnabled(false);
  w.cmdReceiveFile->setEnabled(false);
  w.fraTransfer->show();
}

void TerminalTab::EndTransfer(std::string_view outcome) {
  const TerminalTabUi& w = Widgets;
  w.lblTransfer->setText(QString::fromUtf8(outcome.data(), static_cast<qsizetype>(outcome.size())));
  w.lblTransfer->setToolTip(w.lblTransfer->text());
  w.prgTransfer->hide();
  w.cmdTransferCancel->setText(QStringLiteral("Close"));
  w.cmdSendFile->setEnabled(true);
  w.cmdReceiveFile->setEnabled(true);
  w.fraTransfer->show();
}

void TerminalTab::AttachConsole() {
  const TerminalTabUi& w = Widgets;
  const auto chosen = Do([this](app::Session&) {
    const app::ConsoleOptions options = ConsoleChosen();
    ApplyConsoleOptions(options);
    ConsoleChoiceMade(options);
  });
  connect(w.cmbConsoleEnter, &QComboBox::activated, this, chosen);
  connect(w.cmbConsoleBackspace, &QComboBox::activated, this, chosen);
  connect(w.chkConsoleEcho, &QCheckBox::clicked, this, chosen);
  connect(w.spnPasteChar, &QSpinBox::valueChanged, this, chosen);
  connect(w.spnPasteLine, &QSpinBox::valueChanged, this, chosen);
}

app::ConsoleOptions TerminalTab::ConsoleChosen() const {
  return {static_cast<app::ConsoleEnter>(Widgets.cmbConsoleEnter->currentIndex()),
          static_cast<app::ConsoleBackspace>(Widgets.cmbConsoleBackspace->currentIndex()),
          Widgets.chkConsoleEcho->isChecked(), Widgets.spnPasteChar->value(), Widgets.spnPasteLine->value()};
}

void TerminalTab::ApplyConsoleOptions(const app::ConsoleOptions& options) {
  ConsoleView& console = *Widgets.txtConsole;
  console.SetEnterSends(static_cast<console::EnterSends>(options.Enter));
  console.SetBackspaceSends(static_cast<console::BackspaceSends>(options.Backspace));
  console.SetLocalEcho(options.LocalEcho);
  console.SetPasteDelays(options.PasteCharMs, options.PasteLineMs);
}

void TerminalTab::ShowConsoleOptions(const app::ConsoleOptions& options) {
  const QSignalBlocker quietEnter(Widgets.cmbConsoleEnter);
  const QSignalBlocker quietBackspace(Widgets.cmbConsoleBackspace);
  const QSignalBlocker quietEcho(Widgets.chkConsoleEcho);
  const QSignalBlocker quietChar(Widgets.spnPasteChar);
  const QSignalBlocker quietLine(Widgets.spnPasteLine);
  Widgets.cmbConsoleEnter->setCurrentIndex(static_cast<int>(options.Enter));
  Widgets.cmbConsoleBackspace->setCurrentIndex(static_cast<int>(options.Backspace));
  Widgets.chkConsoleEcho->setChecked(options.LocalEcho);
  Widgets.spnPasteChar->setValue(options.PasteCharMs);
  Widgets.spnPasteLine->setValue(options.PasteLineMs);
  ApplyConsoleOptions(options);
}

void TerminalTab::AttachReceive() {
  const TerminalTabUi& w = Widgets;
  connect(w.cmdRxFreeze, &QPushButton::clicked, this,
          Do([](app::Session& s) { s.Receive().ToggleFreeze(); }));
  connect(w.cmdRxClear, &QPushButton::clicked, this, Do([this](app::Session& s) {
            Widgets.txtRxData->FollowNewest();  // an emptied view follows what comes next
            s.Receive().ClearPane();
          }));
  connect(w.optRxASCII, &QRadioButton::clicked, this, Do([this](app::Session& s) {
            ShowForm(false);
            s.Receive().ShowAscii();
          }));
  connect(w.optRxHex, &QRadioButton::clicked, this, Do([this](app::Session& s) {
            ShowForm(false);
            s.Receive().ShowHex();
          }));
  connect(w.optRxConsole, &QRadioButton::clicked, this, Do([this](app::Session&) { ShowForm(true); }));
  // The console sees every chunk as it comes, and what it is typed goes to the port.
  Attached->Receive().Watch([console = w.txtConsole](std::string_view chunk) { console->Feed(chunk); });
  w.txtConsole->SetSender(Do([](app::Session& s, const std::string& bytes) { s.SendToBoard(bytes); }));
  connect(w.chkTimestamps, &QCheckBox::clicked, this,
          Do([](app::Session& s, bool ticked) { s.Receive().SetTimestamps(ticked); }));
  connect(w.chkShowSent, &QCheckBox::clicked, this,
          Do([](app::Session& s, bool ticked) { s.Receive().SetShowSent(ticked); }));
  connect(w.cmdSaveView, &QPushButton::clicked, this, Do([](app::Session& s) { s.SaveReceiveView(); }));
  connect(w.chkLogASCII, &QCheckBox::toggled, this,
          Do([](app::Session& s, bool ticked) { s.Receive().SetAsciiLogging(ticked); }));
  connect(w.chkLogHex, &QCheckBox::toggled, this,
          Do([](app::Session& s, bool ticked) { s.Receive().SetHexLogging(ticked); }));
  connect(w.cmdClearASCIILogFile, &QPushButton::clicked, this,
          Do([](app::Session& s) { s.TerminalLogFiles().ClearAsciiLog(); }));
  connect(w.cmdClearHexLogFile, &QPushButton::clicked, this,
          Do([](app::Session& s) { s.TerminalLogFiles().ClearHexLog(); }));
  connect(w.cmdTerminalLogMarkerLine, &QPushButton::clicked, this,
          Do([](app::Session& s) { s.WriteDivider(); }));
}

// Find: Ctrl+F on the Terminal tab, Enter or Next, Previous; Esc closes the bar.
void TerminalTab::AttachFind() {
  auto* find = new QShortcut(QKeySequence::Find, this);
  find->setContext(Qt::WidgetWithChildrenShortcut);
  connect(find, &QShortcut::activated, this, Do([this](app::Session&) { ShowFindBar(); }));
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), Widgets.fraFind);
  close->setContext(Qt::WidgetWithChildrenShortcut);
  connect(close, &QShortcut::activated, this, Do([this](app::Session&) { HideFindBar(); }));
  const auto next = Do([this](app::Session&) { FindInView(true); });
  connect(Widgets.txtFind, &QLineEdit::returnPressed, this, next);
  connect(Widgets.cmdFindNext, &QPushButton::clicked, this, next);
  connect(Widgets.cmdFindPrevious, &QPushButton::clicked, this,
          Do([this](app::Session&) { FindInView(false); }));
}

void TerminalTab::AttachTransmit() {
  for (int i = 0; i < terminal::kTxLineCount; ++i) {
    const auto repeat = Do([this, i](app::Session& s) {
      s.Transmit().SetRepeat(i, {Widgets.chkRepeat[i]->isChecked(), Widgets.spnRepeat[i]->value()});
    });
    connect(Widgets.chkRepeat[i], &QCheckBox::toggled, this, repeat);
    connect(Widgets.spnRepeat[i], &QSpinBox::valueChanged, this, repeat);
    connect(Widgets.txtTx[i], &QLineEdit::textChanged, this, Do([i](app::Session& s, const QString& text) {
              s.Transmit().SetLine(i, text.toLatin1().toStdString());  // a byte a character
            }));
    connect(Widgets.txtTx[i], &QLineEdit::selectionChanged, this,
            Do([i](app::Session& s) { s.Transmit().UpdateCheckDisp(i); }));
    Widgets.txtTx[i]->installEventFilter(this);  // a click shows the line's bytes
    const auto send = Do([i](app::Session& s) { s.Transmit().SendLine(i); });
    connect(Widgets.cmdSend[i], &QPushButton::clicked, this, send);
    connect(Widgets.txtTx[i], &QLineEdit::returnPressed, this, send);  // Enter sends, as Send does
  }
  const auto logSent = Do([](app::Session& s, bool ticked) { s.Transmit().SetLogSent(ticked); });
  connect(Widgets.chkLogSent, &QCheckBox::toggled, this, logSent);
  logSent(Widgets.chkLogSent->isChecked());
  connect(Widgets.cmbLineEnd, &QComboBox::activated, this, Do([](app::Session& s, int index) {
            s.Transmit().SetLineEnd(terminal::kLineEnds.at(static_cast<std::size_t>(index)));
          }));
}

bool TerminalTab::eventFilter(QObject* watched, QEvent* event) {
  if (Attached != nullptr && event->type() == QEvent::MouseButtonPress) {
    for (int i = 0; i < terminal::kTxLineCount; ++i) {
      if (watched == Widgets.txtTx[i]) {
        RunGuarded(Report, [this, i] { Attached->Transmit().UpdateCheckDisp(i); });
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TerminalTab::ShowForm(bool console) {
  Widgets.txtRxData->setVisible(!console);
  Widgets.txtConsole->setVisible(console);
  Widgets.fraConsoleOptions->setVisible(console);
  if (console) {
    Widgets.fraFind->hide();
    Widgets.txtConsole->setFocus();
  }
}

void TerminalTab::ShowConsole() {
  Widgets.optRxConsole->setChecked(true);
  ShowForm(true);
}

void TerminalTab::ShowFindBar() {
  Widgets.fraFind->show();
  Widgets.txtFind->setFocus();
  Widgets.txtFind->selectAll();
}

void TerminalTab::HideFindBar() {
  Widgets.fraFind->hide();
  Widgets.txtRxData->EndFind();
  Widgets.txtRxData->setFocus();
}

void TerminalTab::FindInView(bool forward) {
  using Found = RxView::Found;
  const Found found =
      Widgets.txtRxData->FindNext(Widgets.txtFind->text(), forward, Widgets.chkFindMatchCase->isChecked());
  Widgets.lblFindResult->setText(found == Found::No    ? QStringLiteral("not found")
                                 : found == Found::Yes ? QString()
                                 : forward ? QStringLiteral("passed the end, found from the start")
                                           : QStringLiteral("passed the start, found from the end"));
}

void TerminalTab::ShowHistory(terminal::HistoryForm form) {
  // The view draws from the receive history: told of a change, it catches up.
  Widgets.txtRxData->SetForm(form);
  Widgets.txtRxData->HistoryChanged();
}

void TerminalTab::SetFreezeCaption(std::string_view caption) {
  Widgets.cmdRxFreeze->setText(ToQString(caption));
}

void TerminalTab::SetTimestampsShown(bool on) {
  Widgets.chkTimestamps->setChecked(on);  // a click's signal, not a change's: no loop
  Widgets.txtRxData->SetTimestamps(on);
}

void TerminalTab::ShowLogProblem(std::string_view problem) {
  const QString text = FromUtf8(problem);
  LogProblem.setText(text);
  LogProblem.setToolTip(text);
  LogProblem.setVisible(!problem.empty());
}

void TerminalTab::SetCheckDisp(std::string_view caption) {
  Widgets.lblCheckDisp->setText(ToQString(caption));
}

void TerminalTab::ShowRepeat(int index, const terminal::TxRepeat& repeat) {
  const QSignalBlocker quietBox(Widgets.chkRepeat[index]);
  const QSignalBlocker quietNumber(Widgets.spnRepeat[index]);
  Widgets.chkRepeat[index]->setChecked(repeat.On);
  Widgets.spnRepeat[index]->setValue(repeat.Ms);
}

void TerminalTab::ShowLineEnd(terminal::LineEnd end) {
  const auto* found = std::find(terminal::kLineEnds.begin(), terminal::kLineEnds.end(), end);
  Widgets.cmbLineEnd->setCurrentIndex(static_cast<int>(found - terminal::kLineEnds.begin()));
}

void TerminalTab::SetTxLine(int index, std::string_view text) {
  Widgets.txtTx[index]->setText(ToQString(text));
}

void TerminalTab::SetCheckBox(app::SettingsCheck which, bool ticked) {
  if (which == app::SettingsCheck::LogAscii) {
    Widgets.chkLogASCII->setChecked(ticked);
  } else if (which == app::SettingsCheck::LogHex) {
    Widgets.chkLogHex->setChecked(ticked);
  } else if (which == app::SettingsCheck::LogSent) {
    Widgets.chkLogSent->setChecked(ticked);
  }
}

}  // namespace korvani::ui
