// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frm_terminal.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>
#include <cstdio>

#include "app/panel.h"
#include "ui/tab_building.h"

namespace korvani::ui {

FrmTerminal::FrmTerminal(QWidget* parent)
    : QMainWindow(parent), Report([this](const std::string& what) { ReportFault(what); }) {
  setObjectName(QStringLiteral("frmTerminal"));
  BuildStatusBar();
  Terminal = new TerminalTab(Report, *Widgets.lblLogProblem);
  Screen = new ScreenTab(Report);
  Settings = new SettingsTab(Report, *Widgets.lblPortStatus, *Widgets.lblPortProblem);
  Plotting = new PlotTab(Report);
  Scripting = new ScriptTab(Report, *Widgets.lblScriptRunning);
  Widgets.SSTab1 = new QTabWidget(this);
  Widgets.SSTab1->setObjectName(QStringLiteral("SSTab1"));
  Widgets.SSTab1->addTab(Terminal, QStringLiteral("Terminal"));
  Widgets.SSTab1->addTab(Screen, QStringLiteral("Korvani (tm)"));
  Widgets.SSTab1->addTab(Settings, QStringLiteral("Settings"));
  Widgets.SSTab1->addTab(Plotting, QStringLiteral("Plot"));
  Widgets.SSTab1->addTab(Scripting, QStringLiteral("Script"));
  setCentralWidget(Widgets.SSTab1);
  BuildToast();
  setStatusBar(Widgets.StatusBar1);
}

FrmTerminal::~FrmTerminal() {
  // The widgets still signal as they go; no slot reaches the core then.
  Panel = nullptr;
  Terminal->Detach();
  Screen->Detach();
  Settings->Detach();
  Plotting->Detach();
  Scripting->Detach();
}

void FrmTerminal::BuildStatusBar() {
  Widgets.StatusBar1 = new QStatusBar(this);
  Widgets.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  Widgets.lblPortStatus = new QLabel(Widgets.StatusBar1);
  Widgets.lblPortStatus->setTextFormat(Qt::PlainText);
  Widgets.lblPortProblem = new QLabel(Widgets.StatusBar1);
  Widgets.lblPortProblem->setTextFormat(Qt::PlainText);
  Widgets.lblLogProblem = new QLabel(Widgets.StatusBar1);
  Widgets.lblLogProblem->setObjectName(QStringLiteral("lblLogProblem"));
  Widgets.lblLogProblem->setTextFormat(Qt::PlainText);
  Widgets.lblLogProblem->setStyleSheet(QStringLiteral("color: #b00000"));
  // A long name never widens the window.
  Widgets.lblLogProblem->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  Widgets.lblLogProblem->hide();
  Widgets.lblScriptRunning = new QLabel(Widgets.StatusBar1);
  Widgets.lblScriptRunning->setObjectName(QStringLiteral("lblScriptRunning"));
  Widgets.lblScriptRunning->setTextFormat(Qt::PlainText);
  Widgets.lblScriptRunning->setStyleSheet(QStringLiteral("color: #005a9e"));
  Widgets.lblScriptRunning->hide();
  Widgets.StatusBar1->addWidget(Widgets.lblPortStatus);
  Widgets.StatusBar1->addWidget(Widgets.lblPortProblem, 1);
  Widgets.StatusBar1->addWidget(Widgets.lblLogProblem, 4);
  Widgets.StatusBar1->addPermanentWidget(Widgets.lblScriptRunning);
}

void FrmTerminal::BuildToast() {
  Widgets.fraToastMsg = new QFrame(this);
  QFrame* toast = Widgets.fraToastMsg;
  toast->setObjectName(QStringLiteral("fraToastMsg"));
  toast->setFrameShape(QFrame::Box);
  toast->setLineWidth(2);
  toast->setAutoFillBackground(true);
  toast->setStyleSheet(QStringLiteral("#fraToastMsg { background: #fff8c4; }"));
  auto* toastLayout = new QVBoxLayout(toast);
  Widgets.lblToastMsg = new QLabel(toast);
  Widgets.lblToastMsg->setObjectName(QStringLiteral("lblToastMsg"));
  Widgets.lblToastMsg->setTextFormat(Qt::PlainText);
  Widgets.lblToastMsg->setAlignment(Qt::AlignCenter);
  Widgets.lblToastMsg->setWordWrap(true);
  QFont toastFont = Widgets.lblToastMsg->font();
  toastFont.setPointSizeF(toastFont.pointSizeF() * 1.25);
  Widgets.lblToastMsg->setFont(toastFont);
  Widgets.lblDismissToastMsg = new QLabel(QStringLiteral("Click to dismiss"), toast);
  Widgets.lblDismissToastMsg->setObjectName(QStringLiteral("lblDismissToastMsg"));
  Widgets.lblDismissToastMsg->setAlignment(Qt::AlignCenter);
  toastLayout->addWidget(Widgets.lblToastMsg, 1);
  toastLayout->addWidget(Widgets.lblDismissToastMsg);
  toast->hide();
}

void FrmTerminal::Attach(app::Panel& panel, scripting::SessionScript& script) {
  Panel = &panel;
  Terminal->Attach(panel.Current(),
                   [&panel](const app::ConsoleOptions& options) { panel.SetConsoleOptions(options); });
  Screen->Attach(panel.Current());
  Settings->Attach(panel);
  Plotting->Attach(panel.Current());
  Scripting->Attach(panel.Current(), script, panel.Scripts(),
                    [&panel](const app::ScriptChoices& choices) { panel.SetScripts(choices); });
  Widgets.lblToastMsg->installEventFilter(this);
  Widgets.lblDismissToastMsg->installEventFilter(this);
  // Whatever has the focus while the panel tab is in view, the tab bar included.
  auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
  connect(copy, &QShortcut::activated, this, WhenAttached(Report, Panel, [this](app::Panel&) {
            if (Widgets.SSTab1->currentIndex() == app::kHmiTab) {
              Screen->CopyScreen();
            }
          }));
  connect(Screen->Ui().cmdFullScreen, &QPushButton::clicked, this,
          Guarded(Report, [this] { SetFullScreen(true); }));
  connect(Widgets.SSTab1, &QTabWidget::currentChanged, this,
          [this](int index) { Settings->SetInView(index == app::kSettingsTab); });
  PortWatchTimer.setInterval(1000);
  connect(&PortWatchTimer, &QTimer::timeout, this,
          WhenAttached(Report, Panel, [](app::Panel& p) { p.Current().WatchPort(); }));
  PortWatchTimer.start();
}

FrmTerminalUi FrmTerminal::Ui() const {
  return {Widgets, Terminal->Ui(), Screen->Ui(), Settings->Ui(), Plotting->Ui(), Scripting->Ui()};
}

void FrmTerminal::ReportFault(const std::string& what) {
  const QString text =
      QStringLiteral("An action was abandoned: %1. Please report error code 150101-1 to Vexel Vavadivu.")
          .arg(FromUtf8(what));
  std::fprintf(stderr, "korvani: %s\n", text.toLocal8Bit().constData());
  Widgets.StatusBar1->showMessage(text, kFaultShownMs);
}

void FrmTerminal::SetFullScreen(bool on) {
  if (on == isFullScreen()) {
    return;
  }
  if (Panel != nullptr) {
    Panel->Current().Buttons().ReleaseKeys();
  }
  if (on) {
    Widgets.SSTab1->setCurrentIndex(app::kHmiTab);
  }
  Widgets.SSTab1->tabBar()->setVisible(!on);
  statusBar()->setVisible(!on);
  Screen->SetFullScreen(on);
  Widgets.SSTab1->setDocumentMode(on);
  if (on) {
    showFullScreen();
  } else {
    showNormal();
  }
  Screen->FitSoon();
}

void FrmTerminal::ShowConsole() {
  Widgets.SSTab1->setCurrentIndex(app::kTerminalTab);
  Terminal->ShowConsole();
}

void FrmTerminal::ShowPlot() {
  Widgets.SSTab1->setCurrentIndex(app::kPlotTab);
}

void FrmTerminal::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F11 || (event->key() == Qt::Key_Escape && isFullScreen())) {
    const bool on = event->key() == Qt::Key_F11 && !isFullScreen();
    RunGuarded(Report, [this, on] { SetFullScreen(on); });  // it lets go of the held buttons
    return;
  }
  if (!SoftButtonKey(event, true)) {
    QMainWindow::keyPressEvent(event);
  }
}

void FrmTerminal::keyReleaseEvent(QKeyEvent* event) {
  if (!SoftButtonKey(event, false)) {
    QMainWindow::keyReleaseEvent(event);
  }
}

bool FrmTerminal::SoftButtonKey(QKeyEvent* event, bool down) {
  const int number = event->key() - Qt::Key_F1 + 1;
  if (Panel == nullptr || number < 1 || number > hmi::screen::kDefaultButtons ||
      (down && Widgets.SSTab1->currentIndex() != app::kHmiTab)) {
    return false;  // a key going up lets go of its button on any tab
  }
  if (event->isAutoRepeat()) {
    return true;  // a held key is a held button: its own repeat goes on
  }
  bool handled = false;
  RunGuarded(Report, [&] {
    handled = down ? Panel->Current().Buttons().KeyDown(number) : Panel->Current().Buttons().KeyUp(number);
  });
  return handled;
}

void FrmTerminal::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && Panel != nullptr) {
    RunGuarded(Report, [this] { Panel->Current().Buttons().ReleaseKeys(); });  // no key-up will come
  }
}

void FrmTerminal::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  Screen->FitSoon();
}

void FrmTerminal::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Screen->FitSoon();
  if (ToastVisible()) {
    PlaceToast();
  }
}

bool FrmTerminal::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Widgets.lblToastMsg || watched == Widgets.lblDismissToastMsg) &&
      event->type() == QEvent::MouseButtonPress && Panel != nullptr) {
    RunGuarded(Report, [this] { Panel->Current().Toasts().Dismiss(); });
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void FrmTerminal::closeEvent(QCloseEvent* event) {
  if (Panel != nullptr) {
    RunGuarded(Report, [this] { Panel->SaveSettings(); });
  }
  PortWatchTimer.stop();
  QMainWindow::closeEvent(event);  // never refused, nothing asked
  if (WindowClosed) {
    RunGuarded(Report, WindowClosed);
  }
}

void FrmTerminal::SetNewWindow(std::function<void()> open) {
  const auto newWindow = Guarded(Report, std::move(open));
  connect(Settings->Ui().cmdNewWindow, &QPushButton::clicked, this, newWindow);
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
  connect(shortcut, &QShortcut::activated, this, newWindow);
}

void FrmTerminal::SetCaption(std::string_view caption) {
  setWindowTitle(ToQString(caption));
}

void FrmTerminal::SelectTab(int index) {
  Widgets.SSTab1->setCurrentIndex(index);
}

void FrmTerminal::FitWidthToTabs() {
  resize(sizeHint().width(), height());
}

app::ScreenHeights FrmTerminal::AvailableScreenHeights() const {
  return {kScreenHeightLogShown, kScreenHeightLogHidden};
}

void FrmTerminal::SetTerminalFunctions(bool available) {
  Widgets.SSTab1->setTabEnabled(app::kTerminalTab, available);
  Settings->ShowTerminalFunctions(available);
}

void FrmTerminal::SetToastText(std::string_view text) {
  Widgets.lblToastMsg->setText(ToPaneText(text));
}

void FrmTerminal::SetToastVisible(bool visible) {
  if (visible) {
    PlaceToast();
    Widgets.fraToastMsg->raise();
  }
  Widgets.fraToastMsg->setVisible(visible);
}

bool FrmTerminal::ToastVisible() const {
  return !Widgets.fraToastMsg->isHidden();
}

void FrmTerminal::PlaceToast() {
  const int width = std::max(240, this->width() * 3 / 5);
  Widgets.fraToastMsg->setFixedWidth(width);
  Widgets.fraToastMsg->adjustSize();
  Widgets.fraToastMsg->move((this->width() - width) / 2, 40);
}

}  // namespace korvani::ui
