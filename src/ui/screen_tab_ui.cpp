// SPDX-License-Identifier: GPL-3.0-or-later
// Building the board's screen tab: the screen and its title, the panel's controls beside it,
// the number prompt over it, the log pane, the "Tx:" line and the "Test" row.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/rx_view.h"
#include "ui/screen_tab.h"
#include "ui/tab_building.h"

namespace korvani::ui {

namespace {

// The screen with its title above it.
QVBoxLayout* BuildScreenColumn(ScreenTabUi& ui, QWidget* tab) {
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
QVBoxLayout* BuildPanelControls(ScreenTabUi& ui, QWidget* tab) {
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
void BuildDataEntryFrame(ScreenTabUi& ui, QWidget* tab) {
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
QGroupBox* BuildLogFrame(ScreenTabUi& ui, QWidget* tab) {
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
void BuildTxAndTestRows(ScreenTabUi& ui, QWidget* tab, QVBoxLayout* layout) {
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

}  // namespace

void BuildScreenTab(ScreenTabUi& ui, QWidget* tab) {
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
}

}  // namespace korvani::ui
