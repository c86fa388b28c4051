// SPDX-License-Identifier: GPL-3.0-or-later
// frmTerminal, the main window: it composes the four tabs (the board's screen, the Terminal,
// the Settings and the Plot tab, each a class that owns its widgets and shows its part of the core),
// the status bar, the notice over the window, full screen and the window-wide keys. It holds
// no rules of its own.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <functional>
#include <string>

#include "adapters/guarded.h"
#include "app/panel_view.h"
#include "ui/plot_tab.h"
#include "ui/screen_tab.h"
#include "ui/script_tab.h"
#include "ui/settings_tab.h"
#include "ui/terminal_tab.h"

namespace korvani::app {
class Panel;
}

namespace korvani::ui {

// The window's own widgets: the tabs, the status bar and the notice.
struct WindowUi {
  QTabWidget* SSTab1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* lblPortStatus = nullptr;     // first panel: the connection status
  QLabel* lblPortProblem = nullptr;    // second panel: why a port is closed
  QLabel* lblLogProblem = nullptr;     // last panel, while a terminal log cannot be written
  QLabel* lblScriptRunning = nullptr;  // while a script runs: its name
  // The notice over the upper middle of the window, in front of the tabs.
  QFrame* fraToastMsg = nullptr;
  QLabel* lblToastMsg = nullptr;
  QLabel* lblDismissToastMsg = nullptr;
};

// Every widget of the window by its name, as tests and tools look them up.
struct FrmTerminalUi : WindowUi, TerminalTabUi, ScreenTabUi, SettingsTabUi, PlotTabUi, ScriptTabUi {};

class FrmTerminal final : public QMainWindow, public app::WindowView {
  Q_OBJECT

 public:
  // The heights the HMI screen may take, as this window is laid out (twips).
  static constexpr double kScreenHeightLogShown = 7200;
  static constexpr double kScreenHeightLogHidden = 10200;
  static constexpr int kFaultShownMs = 15000;

  explicit FrmTerminal(QWidget* parent = nullptr);
  ~FrmTerminal() override;

  // Forwards the window's events to the panel; call once, before the port opens. The Script
  // tab runs its scripts with `script`, on the panel's session.
  void Attach(app::Panel& panel, scripting::SessionScript& script);
  // "New window" (the Settings tab's button, Ctrl+N) asks for another session's window.
  void SetNewWindow(std::function<void()> open);
  // Told once the window has closed and saved its session's settings.
  void SetClosed(std::function<void()> closed) { WindowClosed = std::move(closed); }
  // The views the panel shows things in: this window and its tabs.
  app::PanelViews Views() { return {*this, *Screen, *Terminal, *Settings}; }

  QtDrawingSurface& Surface() { return Screen->Surface(); }
  // Where a failure of the core inside a slot, an event or a timer is told: in the status
  // bar for a while, and on stderr. The action is abandoned; the program goes on.
  void ReportFault(const std::string& what);
  const FaultReport& Faults() const { return Report; }
  [[nodiscard]] FrmTerminalUi Ui() const;
  // cmdHMIUserButton(i), made when first shown; null before.
  [[nodiscard]] QPushButton* UserButton(int index) const { return Screen->UserButton(index); }

  // The screen alone, filling the display (F11, "Full screen", --fullscreen), or the window
  // as it was (F11 or Esc).
  void SetFullScreen(bool on);
  // The Terminal tab with its console in view, holding the keyboard (--console).
  void ShowConsole();
  // The Plot tab in view (--plot).
  void ShowPlot();
  PlotTab& Plot() { return *Plotting; }
  ScriptTab& Scripts() { return *Scripting; }

  void SetCaption(std::string_view caption) override;
  void SelectTab(int index) override;
  void FitWidthToTabs() override;
  [[nodiscard]] app::ScreenHeights AvailableScreenHeights() const override;
  void SetTerminalFunctions(bool available) override;
  void SetToastText(std::string_view text) override;
  void SetToastVisible(bool visible) override;
  [[nodiscard]] bool ToastVisible() const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  // F1 to F8 hold the soft buttons 1 to 8 while the panel tab is in view; F11 and Esc.
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  // Closing, for whatever reason, saves the settings; the program then ends.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToast();
  void BuildStatusBar();
  void PlaceToast();
  bool SoftButtonKey(QKeyEvent* event, bool down);

  FaultReport Report;
  WindowUi Widgets;
  TerminalTab* Terminal = nullptr;
  ScreenTab* Screen = nullptr;
  SettingsTab* Settings = nullptr;
  PlotTab* Plotting = nullptr;
  ScriptTab* Scripting = nullptr;
  app::Panel* Panel = nullptr;
  QTimer PortWatchTimer;  // reopens a port that came back while "Open" is down
  std::function<void()> WindowClosed;
};

}  // namespace korvani::ui
