// SPDX-License-Identifier: GPL-3.0-or-later
// The Terminal tab: the receive view (ASCII or hex, time stamps, find, freeze), the terminal's
// logs, and the five prepared lines with their periodic send. It shows what the receive path
// and the transmit lines decide and forwards what the user does to them.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>
#include <functional>

#include "app/panel_view.h"
#include "ui/console_view.h"
#include "ui/panel_tab.h"
#include "ui/rx_view.h"

namespace korvani::ui {

struct TerminalTabUi {
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
  QRadioButton* optRxConsole = nullptr;  // the third form: a character terminal
  ConsoleView* txtConsole = nullptr;
  // The console's choices, under it while it is in view.
  QWidget* fraConsoleOptions = nullptr;
  QComboBox* cmbConsoleEnter = nullptr;
  QComboBox* cmbConsoleBackspace = nullptr;
  QCheckBox* chkConsoleEcho = nullptr;
  QSpinBox* spnPasteChar = nullptr;
  QSpinBox* spnPasteLine = nullptr;
  QPushButton* cmdRxFreeze = nullptr;
  QPushButton* cmdRxClear = nullptr;
  QCheckBox* chkLogASCII = nullptr;
  QCheckBox* chkLogHex = nullptr;
  QPushButton* cmdClearASCIILogFile = nullptr;  // the Settings tab has a second of each
  QPushButton* cmdClearHexLogFile = nullptr;
  QPushButton* cmdTerminalLogMarkerLine = nullptr;
  // File transfer: the two menus' buttons, and the row under the view while one runs.
  QPushButton* cmdSendFile = nullptr;
  QPushButton* cmdReceiveFile = nullptr;
  QMenu* mnuSendFile = nullptr;
  QMenu* mnuReceiveFile = nullptr;
  QWidget* fraTransfer = nullptr;
  QLabel* lblTransfer = nullptr;
  QProgressBar* prgTransfer = nullptr;
  QPushButton* cmdTransferCancel = nullptr;  // "Cancel" while it runs, "Close" after
  QGroupBox* fraTx = nullptr;
  QLineEdit* txtTx[5] = {};
  QPushButton* cmdSend[5] = {};
  QCheckBox* chkRepeat[5] = {};  // periodic send: "Every" and the milliseconds
  QSpinBox* spnRepeat[5] = {};
  QLabel* lblCheckDisp = nullptr;
  QLabel* lblInfo = nullptr;
  QCheckBox* chkLogSent = nullptr;
  QComboBox* cmbLineEnd = nullptr;  // what ends every sent line: none, CR, LF, CR LF
};

class TerminalTab final : public SessionTab, public app::TerminalTabView {
 public:
  // `logProblem` is the status bar's field that says when a terminal log cannot be written.
  TerminalTab(const FaultReport& report, QLabel& logProblem);

  // Connects the controls to the session's receive path, transmit lines, console and
  // transfers; once. The console's choices, which the program keeps, go to `consoleChosen`.
  void Attach(app::Session& session, std::function<void(const app::ConsoleOptions&)> consoleChosen);
  [[nodiscard]] const TerminalTabUi& Ui() const { return Widgets; }
  // The console in view, holding the keyboard.
  void ShowConsole();

  void ShowHistory(terminal::HistoryForm form) override;
  void SetFreezeCaption(std::string_view caption) override;
  void SetTimestampsShown(bool on) override;
  void ShowLogProblem(std::string_view problem) override;
  void SetCheckDisp(std::string_view caption) override;
  void ShowRepeat(int index, const terminal::TxRepeat& repeat) override;
  void ShowLineEnd(terminal::LineEnd end) override;
  void SetTxLine(int index, std::string_view text) override;
  void SetCheckBox(app::SettingsCheck which, bool ticked) override;
  void ShowConsoleOptions(const app::ConsoleOptions& options) override;
  void ShowTransfer(std::string_view title, std::string_view progress, int percent) override;
  void EndTransfer(std::string_view outcome) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AttachReceive();
  void AttachFind();
  void AttachTransmit();
  void AttachConsole();
  void AttachTransfer();
  // The two menus' entries, each saying what to install when its program is missing.
  void FillTransferMenus();
  // The console's choices as its boxes show them, applied to the console.
  [[nodiscard]] app::ConsoleOptions ConsoleChosen() const;
  void ApplyConsoleOptions(const app::ConsoleOptions& options);
  void ShowFindBar();
  void HideFindBar();
  void FindInView(bool forward);
  // The history's view, or the console, in place of the other.
  void ShowForm(bool console);

  QLabel& LogProblem;
  TerminalTabUi Widgets;
  std::function<void(const app::ConsoleOptions&)> ConsoleChoiceMade;
};

}  // namespace korvani::ui
