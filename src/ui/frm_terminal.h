// frmTerminal, the main window: shows what the panel decides and forwards what the user
// does. It holds no rules of its own.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/panel_view.h"
#include "ui/frm_terminal_ui.h"
#include "ui/guarded.h"
#include "ui/pane_refresher.h"
#include "ui/qt_drawing_surface.h"

namespace korvani::app {
class Panel;
}

namespace korvani::ui {

class FrmTerminal final : public QMainWindow, public app::PanelView {
  Q_OBJECT

 public:
  // How often at most the receive pane's text is rebuilt while data streams in.
  static constexpr int kRxRefreshMs = 33;

  explicit FrmTerminal(QWidget* parent = nullptr);
  ~FrmTerminal() override;

  // Forwards the window's events to the panel; call once, before the port opens.
  void Attach(app::Panel& panel);

  QtDrawingSurface& Surface() { return *HmiSurface; }
  // Where a failure of the core inside a slot, an event or a timer is told: in the status
  // bar for a while, and on stderr. The action is abandoned; the program goes on.
  void ReportFault(const std::string& what);
  const FaultReport& Faults() const { return Report; }
  static constexpr int kFaultShownMs = 15000;
  const FrmTerminalUi& Ui() const { return Widgets; }

  // The heights the HMI screen may take, as this window is laid out (twips).
  static constexpr double kScreenHeightLogShown = 7200;
  static constexpr double kScreenHeightLogHidden = 10200;

  void ShowRxText(std::string_view text) override;
  void SetFreezeCaption(std::string_view caption) override;
  void ShowTestEcho(std::string_view hexListing) override;
  void SelectBaudOption(std::int16_t index) override;
  void SelectCharacterOption(std::int16_t index) override;
  [[nodiscard]] bool OpenChecked() const override;
  void SetOpenChecked(bool checked) override;
  void ShowConnectionStatus(std::string_view status) override;
  void ShowConnectionProblem(std::string_view problem) override;
  void ClearComPorts() override;
  void AddComPort(std::string_view name) override;
  void SetComPortText(std::string_view text) override;
  void SelectComPort(int index) override;
  [[nodiscard]] std::string ComPortText() const override;
  [[nodiscard]] bool HideBluetoothChecked() const override;
  void ShowButton(int index, const hmi::screen::HMIButton& button) override;
  void BringButtonToFront(int index) override;
  void SetToastText(std::string_view text) override;
  void SetToastVisible(bool visible) override;
  [[nodiscard]] bool ToastVisible() const override;
  void SetEntryPrompt(std::string_view prompt) override;
  void SetEntryFrameVisible(bool visible) override;
  void SetEntryText(std::string_view text) override;
  [[nodiscard]] std::string EntryText() const override;
  void FocusEntry() override;
  void ShowHmiLog(std::string_view text) override;
  void SetLogFreezeCaption(std::string_view caption) override;
  void SetLogPaneVisible(bool visible) override;
  void SetTraceFileName(std::string_view name) override;
  void ShowLogFolder(std::string_view folder) override;
  void SetAsciiLogFileName(std::string_view name) override;
  void SetHexLogFileName(std::string_view name) override;
  void SetCheckDisp(std::string_view caption) override;
  void SetCheckBox(app::SettingsCheck which, bool ticked) override;
  void SetTxLine(int index, std::string_view text) override;
  void SetControlVisible(hmi::screen::PanelControl control, bool visible) override;
  void SetTerminalFunctions(bool available) override;
  [[nodiscard]] std::string WidthBoxText() const override;

  // cmdHMIUserButton(i), made when first shown; null before.
  [[nodiscard]] QPushButton* UserButton(int index) const;
  void SetTitleWidth(double twips) override;
  void SetTitleCaption(std::string_view caption) override;
  void SetWidthBoxText(std::string_view text) override;
  void SetTxCaption(std::string_view caption) override;
  void SetCaption(std::string_view caption) override;
  void SelectTab(int index) override;
  void FitWidthToTabs() override;
  [[nodiscard]] app::ScreenHeights AvailableScreenHeights() const override;

  // The received bytes as the pane shows them: each byte one Latin-1 character, and line
  // ends (CR LF, lone CR, lone LF) as line breaks.
  static QString ToPaneText(std::string_view text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Closing, for whatever reason, saves the settings; the program then ends.
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceToast();
  bool FilterPanelEvent(QObject* watched, QEvent* event);
  QPushButton* MakeUserButton(int index);

  FaultReport Report;
  FrmTerminalUi Widgets;
  std::unique_ptr<QtDrawingSurface> HmiSurface;
  app::Panel* Panel = nullptr;
  std::unique_ptr<PaneRefresher> RxPane;
  std::unique_ptr<PaneRefresher> LogPane;
  QTimer PortWatchTimer;  // reopens a port that came back while "Open" is down
  std::vector<QPushButton*> cmdHMIUserButton;
};

}  // namespace korvani::ui
