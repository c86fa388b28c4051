// SPDX-License-Identifier: GPL-3.0-or-later
// Building the Terminal tab: the receive view with its find bar and buttons, and the
// prepared lines.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "terminal/transmit_lines.h"
#include "ui/tab_building.h"
#include "ui/terminal_tab.h"

namespace korvani::ui {

namespace {

// The find bar under the receive view, hidden until Ctrl+F.
QWidget* BuildFindBar(TerminalTabUi& ui, QWidget* parent) {
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

// The console's choices, in one row under it.
QWidget* BuildConsoleOptions(TerminalTabUi& ui, QWidget* parent) {
  ui.fraConsoleOptions = new QWidget(parent);
  ui.fraConsoleOptions->setObjectName(QStringLiteral("fraConsoleOptions"));
  auto* row = new QHBoxLayout(ui.fraConsoleOptions);
  row->setContentsMargins(0, 0, 0, 0);
  ui.cmbConsoleEnter = new QComboBox(ui.fraConsoleOptions);
  ui.cmbConsoleEnter->setObjectName(QStringLiteral("cmbConsoleEnter"));
  ui.cmbConsoleEnter->addItems(
      {QStringLiteral("Enter CR"), QStringLiteral("Enter LF"), QStringLiteral("Enter CR LF")});
  ui.cmbConsoleEnter->setToolTip(QStringLiteral("What Enter sends"));
  ui.cmbConsoleBackspace = new QComboBox(ui.fraConsoleOptions);
  ui.cmbConsoleBackspace->setObjectName(QStringLiteral("cmbConsoleBackspace"));
  ui.cmbConsoleBackspace->addItems({QStringLiteral("Bksp DEL"), QStringLiteral("Bksp BS")});
  ui.cmbConsoleBackspace->setToolTip(QStringLiteral("What Backspace sends: DEL (127) or BS (8)"));
  ui.chkConsoleEcho = new QCheckBox(QStringLiteral("Echo"), ui.fraConsoleOptions);
  ui.chkConsoleEcho->setObjectName(QStringLiteral("chkConsoleEcho"));
  ui.chkConsoleEcho->setToolTip(
      QStringLiteral("Local echo: show what is typed as well, for a board that does not echo it"));
  const auto pause = [&](QSpinBox*& box, const char* name, const char* prefix, const char* tip) {
    box = new QSpinBox(ui.fraConsoleOptions);
    box->setObjectName(QLatin1String(name));
    box->setRange(0, app::kMostPasteDelayMs);
    box->setPrefix(QLatin1String(prefix));
    box->setSuffix(QStringLiteral(" ms"));
    box->setToolTip(QLatin1String(tip));
  };
  pause(ui.spnPasteChar, "spnPasteChar", "Paste ", "A pause after each character pasted, for a slow board");
  pause(ui.spnPasteLine, "spnPasteLine", "+ line ", "A pause after each line pasted, besides");
  for (QWidget* widget :
       {static_cast<QWidget*>(ui.cmbConsoleEnter), static_cast<QWidget*>(ui.cmbConsoleBackspace),
        static_cast<QWidget*>(ui.chkConsoleEcho), static_cast<QWidget*>(ui.spnPasteChar),
        static_cast<QWidget*>(ui.spnPasteLine)}) {
    row->addWidget(widget);
  }
  row->addStretch(1);
  ui.fraConsoleOptions->hide();
  return ui.fraConsoleOptions;
}

// The row under the view that shows a file transfer, hidden until one begins.
QWidget* BuildTransferRow(TerminalTabUi& ui, QWidget* parent) {
  ui.fraTransfer = new QWidget(parent);
  ui.fraTransfer->setObjectName(QStringLiteral("fraTransfer"));
  auto* row = new QHBoxLayout(ui.fraTransfer);
  row->setContentsMargins(0, 0, 0, 0);
  ui.lblTransfer = new QLabel(ui.fraTransfer);
  ui.lblTransfer->setObjectName(QStringLiteral("lblTransfer"));
  ui.lblTransfer->setTextFormat(Qt::PlainText);
  // A long file name must not widen the window: the label takes the room there is, and its
  // tip has the whole text.
  ui.lblTransfer->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ui.prgTransfer = new QProgressBar(ui.fraTransfer);
  ui.prgTransfer->setObjectName(QStringLiteral("prgTransfer"));
  ui.prgTransfer->setMaximumWidth(160);
  ui.cmdTransferCancel = new QPushButton(QStringLiteral("Cancel"), ui.fraTransfer);
  ui.cmdTransferCancel->setObjectName(QStringLiteral("cmdTransferCancel"));
  row->addWidget(ui.lblTransfer, 1);
  row->addWidget(ui.prgTransfer);
  row->addWidget(ui.cmdTransferCancel);
  ui.fraTransfer->hide();
  return ui.fraTransfer;
}

// A button that opens a menu of transfers; the entries are filled when it opens.
QPushButton* TransferButton(QPushButton*& button, QMenu*& menu, const char* name, const char* caption,
                            const char* tip, QWidget* parent) {
  button = new QPushButton(QLatin1String(caption), parent);
  button->setObjectName(QLatin1String(name));
  button->setToolTip(QLatin1String(tip));
  menu = new QMenu(button);
  menu->setToolTipsVisible(true);
  button->setMenu(menu);
  return button;
}

QGroupBox* BuildRxFrame(TerminalTabUi& ui, QWidget* tab) {
  ui.fraRx = new QGroupBox(QStringLiteral("Rx"), tab);
  auto* rxLayout = new QHBoxLayout(ui.fraRx);
  ui.txtRxData = new RxView(ui.fraRx);
  ui.txtRxData->setObjectName(QStringLiteral("txtRxData"));
  ui.txtRxData->setMinimumSize(560, 300);
  ui.txtConsole = new ConsoleView(ui.fraRx);
  ui.txtConsole->setMinimumSize(560, 300);
  ui.txtConsole->hide();
  auto* viewColumn = new QVBoxLayout;
  viewColumn->addWidget(ui.txtRxData, 1);
  viewColumn->addWidget(ui.txtConsole, 1);
  viewColumn->addWidget(BuildConsoleOptions(ui, ui.fraRx));
  viewColumn->addWidget(BuildFindBar(ui, ui.fraRx));
  viewColumn->addWidget(BuildTransferRow(ui, ui.fraRx));
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
  ui.optRxConsole = new QRadioButton(QStringLiteral("Console"), ui.fraRx);
  ui.optRxConsole->setObjectName(QStringLiteral("optRxConsole"));
  ui.optRxConsole->setToolTip(
      QStringLiteral("A character terminal: keys go to the board as typed, its colours and cursor are drawn "
                     "(Ctrl+Shift+C copies, Ctrl+Shift+V pastes)"));
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
                          static_cast<QWidget*>(ui.optRxConsole), static_cast<QWidget*>(ui.cmdRxFreeze),
                          static_cast<QWidget*>(ui.cmdRxClear), static_cast<QWidget*>(ui.chkTimestamps),
                          static_cast<QWidget*>(ui.chkShowSent), static_cast<QWidget*>(ui.chkLogASCII),
                          static_cast<QWidget*>(ui.chkLogHex)}) {
    side->addWidget(widget);
  }
  ui.chkLogASCII->setToolTip(QStringLiteral(
      "Enable (disk) logging of ASCII formatted data.  Set the file name in the Settings tab."));
  ui.chkLogHex->setToolTip(
      QStringLiteral("Enable (disk) logging of Hex formatted data.  Set the file name in the Settings tab."));
  ui.cmdClearASCIILogFile =
      ClearLogButton("cmdClearASCIILogFile0", "Clear ASCII log", "Empty the ASCII log file", ui.fraRx);
  ui.cmdClearHexLogFile =
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
  side->addWidget(ui.cmdClearASCIILogFile);
  side->addWidget(ui.cmdClearHexLogFile);
  side->addWidget(ui.cmdTerminalLogMarkerLine);
  side->addWidget(TransferButton(ui.cmdSendFile, ui.mnuSendFile, "cmdSendFile", "Send file",
                                 "Send a file to the board: as it is, or by XMODEM, YMODEM or ZMODEM",
                                 ui.fraRx));
  side->addWidget(TransferButton(ui.cmdReceiveFile, ui.mnuReceiveFile, "cmdReceiveFile", "Receive file",
                                 "Receive a file the board sends by XMODEM, YMODEM or ZMODEM", ui.fraRx));
  side->addStretch(1);
  rxLayout->addLayout(side);

  return ui.fraRx;
}

// The five prepared lines with their Send buttons, the hint and the hex preview.
QGroupBox* BuildTxFrame(TerminalTabUi& ui, QWidget* tab) {
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

}  // namespace

void BuildTerminalTab(TerminalTabUi& ui, QWidget* tab) {
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(BuildRxFrame(ui, tab), 1);
  layout->addWidget(BuildTxFrame(ui, tab));
}

}  // namespace korvani::ui
