// SPDX-License-Identifier: GPL-3.0-or-later
// The board's screen tab: the screen the board draws on with its soft buttons and title, the
// panel's controls beside it, the number prompt over it, the on-screen log pane under it, the
// last message sent and the "Test" row. The screen grows with the room the window gives it,
// and fills the display in full screen.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMargins>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "adapters/qt_drawing_surface.h"
#include "app/panel_view.h"
#include "ui/pane_refresher.h"
#include "ui/panel_tab.h"

namespace korvani::ui {

struct ScreenTabUi {
  // The room the screen may take: the title and the screen are placed in it by hand, so a
  // screen grown with the window never holds the window at that size.
  QWidget* fraScreenArea = nullptr;
  QLabel* lblHMITitle = nullptr;
  SurfaceWidget* picHMI1 = nullptr;
  QWidget* fraPanelControls = nullptr;  // the column of controls beside the screen
  QPushButton* cmdHMIReset = nullptr;
  QPushButton* cmdHMICLS = nullptr;
  QLineEdit* txtSetWidth = nullptr;
  QPushButton* cmdHMISetWidth = nullptr;
  QGroupBox* fraAspectRatio = nullptr;
  QRadioButton* optAspectRatio[4] = {};
  QButtonGroup* grpAspectRatio = nullptr;
  QPushButton* cmdHMIConnect = nullptr;
  QPushButton* cmdSetRTC = nullptr;
  QPushButton* cmdHMIRulers = nullptr;
  QPushButton* cmdSaveScreen = nullptr;  // a PNG of the board's screen
  QPushButton* cmdFullScreen = nullptr;
  QPushButton* cmdShowTrace = nullptr;
  // The number prompt, over the middle of the screen while the board asks.
  QGroupBox* fraUserDataInput = nullptr;
  QLabel* lblHMIDataEntryPrompt = nullptr;
  QLineEdit* txtHMIDataEntry = nullptr;
  QPushButton* cmdHMIDataOK = nullptr;
  QPushButton* cmdHMIDataEntryCancel = nullptr;
  // The log pane under the screen
  QGroupBox* fraLogging = nullptr;
  QPlainTextEdit* txtHMILog = nullptr;
  QPushButton* cmdLogFrz = nullptr;
  QPushButton* cmdLogMarker = nullptr;
  QPushButton* cmdLogCLS = nullptr;
  QCheckBox* chkHMITraceToDisk = nullptr;
  QPushButton* cmdClearHMILogFile = nullptr;
  QPushButton* cmdHideLog = nullptr;
  // "Tx:" and the "Test" row
  QLabel* lblTx = nullptr;
  QLineEdit* txtHMIRawRx = nullptr;
  QPushButton* cmdHMITestSend = nullptr;
  QLabel* Label2 = nullptr;
};

class ScreenTab final : public SessionTab, public app::ScreenTabView {
 public:
  // How often at most the log pane's text is rebuilt while the board writes to it.
  static constexpr int kLogPaneRefreshMs = 33;

  explicit ScreenTab(const FaultReport& report);
  ~ScreenTab() override;

  // Connects the controls to the panel's screen, buttons, prompt and log; once.
  void Attach(app::Session& session);
  [[nodiscard]] const ScreenTabUi& Ui() const { return Widgets; }
  QtDrawingSurface& Surface() { return *HmiSurface; }
  // cmdHMIUserButton(i), made when first shown; null before.
  [[nodiscard]] QPushButton* UserButton(int index) const;

  // Full screen: the screen alone in the middle, the surround in its background colour.
  void SetFullScreen(bool on);
  // The window's size changed: the screen is fitted to its room once the change settles.
  void FitSoon() { FitTimer.start(); }
  // Ctrl+Shift+C: the screen's picture to the clipboard.
  void CopyScreen();

  void SetTitleWidth(double twips) override;
  void SetTitleCaption(std::string_view caption) override;
  void SetWidthBoxText(std::string_view text) override;
  void SetScreenBaseSize(double widthTwips, double heightTwips) override;
  void SetTxCaption(std::string_view caption) override;
  void ShowButton(int index, const hmi::screen::HMIButton& button) override;
  void BringButtonToFront(int index) override;
  void SetEntryPrompt(std::string_view prompt) override;
  void SetEntryFrameVisible(bool visible) override;
  void SetEntryText(std::string_view text) override;
  [[nodiscard]] std::string EntryText() const override;
  void FocusEntry() override;
  void ShowHmiLog(std::string_view text) override;
  void SetLogFreezeCaption(std::string_view caption) override;
  void SetLogPaneVisible(bool visible) override;
  void SetControlVisible(hmi::screen::PanelControl control, bool visible) override;
  [[nodiscard]] std::string WidthBoxText() const override;
  void ShowTestEcho(std::string_view hexListing) override;
  std::string SaveScreenPicture(const std::string& path) override;
  void SetCheckBox(app::SettingsCheck which, bool ticked) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AttachControls();
  void AttachLogPane();
  bool FilterPanelEvent(QObject* watched, QEvent* event);
  void PaintSurround();
  QPushButton* MakeUserButton(int index);
  // The screen and its title in their area: at the left, or full screen in the middle.
  void PlaceScreen();
  void FitScreen();

  ScreenTabUi Widgets;
  std::unique_ptr<QtDrawingSurface> HmiSurface;
  std::unique_ptr<PaneRefresher> LogPane;
  std::vector<QPushButton*> cmdHMIUserButton;
  QTimer FitTimer;       // the screen grows (or shrinks back) once a resize has settled
  QMargins PageMargins;  // the tab's margins, taken away while full screen
  bool LogShownBeforeFullScreen = true;
};

}  // namespace korvani::ui
