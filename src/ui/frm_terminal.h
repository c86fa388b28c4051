// frmTerminal, the main window: shows what the panel decides and forwards what the user
// does. It holds no rules of its own.
#pragma once

#include <QMainWindow>
#include <QMargins>
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
  // How often at most the log pane's text is rebuilt while the board writes to it.
  static constexpr int kLogPaneRefreshMs = 33;

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

  void ShowHistory(terminal::HistoryForm form) override;
  void SetFreezeCaption(std::string_view caption) override;
  void SetTimestampsShown(bool on) override;
  void ShowLogProblem(std::string_view problem) override;
  void ShowRepeat(int index, const terminal::TxRepeat& repeat) override;
  void ShowTestEcho(std::string_view hexListing) override;
  void ShowLineEnd(terminal::LineEnd end) override;
  void ShowScrollback(const terminal::Scrollback& scrollback) override;
  std::string SaveScreenPicture(const std::string& path) override;
  void ShowLineSettings(const terminal::LineSettings& line) override;
  void ShowControlLines(const terminal::ControlLines& lines, bool portOpen, bool rtsByDriver,
                        bool hasLines) override;
  [[nodiscard]] bool OpenChecked() const override;
  void SetOpenChecked(bool checked) override;
  void ShowConnectionStatus(std::string_view status) override;
  void ShowConnectionProblem(std::string_view problem) override;
  void ShowLineApplies(bool applies) override;
  void ShowRecording(std::string_view path) override;
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
  void SetScreenBaseSize(double widthTwips, double heightTwips) override;
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
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 public:
  // The screen alone, filling the display (F11, "Full screen", --fullscreen), or the window
  // as it was (F11 or Esc).
  void SetFullScreen(bool on);

 protected:
  // F1 to F8 hold the soft buttons 1 to 8 while the panel tab is in view.
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  // Closing, for whatever reason, saves the settings; the program then ends.
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceToast();
  // The screen and its title in their area: at the left, or full screen in the middle.
  void PlaceScreen();
  QMargins PageMargins;  // the board's tab's margins, taken away while full screen
  bool FilterPanelEvent(QObject* watched, QEvent* event);

  // A guarded connection to one of the slots below.
  template <typename... Args>
  auto Slot(void (FrmTerminal::*slot)(Args...)) {
    return Guarded(Report, [this, slot](Args... arguments) {
      if (Panel != nullptr) {  // none while the window is taken down (a box losing focus signals)
        (this->*slot)(arguments...);
      }
    });
  }
  void AttachTerminalTab();
  void AttachHmiTab();
  void AttachSettingsTab();

  // The slots: each control's event, forwarded in one line to the panel.
  void cmdRxFreeze_Click();
  void cmdRxClear_Click();
  void optRxASCII_Click();
  void optRxHex_Click();
  void chkLogASCII_Click(bool ticked);
  void chkTimestamps_Click(bool ticked);
  void chkShowSent_Click(bool ticked);
  void cmdSaveView_Click();
  void cmdSaveScreen_Click();
  void CopyScreen();  // Ctrl+Shift+C on the panel tab: the screen's picture to the clipboard
  bool SoftButtonKey(QKeyEvent* event, bool down);
  void chkRepeat_Change(int index);
  void FindInView(bool forward);
  void ShowFindBar();
  void HideFindBar();
  void chkLogHex_Click(bool ticked);
  void txtTx_Change(int index, const QString& text);
  void txtTx_Click(int index);
  void cmdSend_Click(int index);
  void chkLogSent_Click(bool ticked);
  void cmdHMIConnect_Click();
  void cmdSetRTC_Click();
  void cmdHMIReset_Click();
  void cmdHMICLS_Click();
  void cmdHMIRulers_Click();
  void optAspectRatio_Click(int index);
  void cmdHMISetWidth_Click();
  void cmdHMITestSend_Click();
  void cmdHMIUserButton_MouseDown(int index);
  void cmdHMIUserButton_MouseUp(int index);
  void cmdLogFrz_Click();
  void cmdLogMarker_Click();
  void cmdLogCLS_Click();
  void cmdHideLog_Click();
  void cmdShowTrace_Click();
  void chkHMITraceToDisk_Click(bool ticked);
  void cmdHMIDataOK_Click();
  void cmdHMIDataEntryCancel_Click();
  bool txtHMIDataEntry_KeyPress(int keyCode);  // false: the key is discarded
  void txtHMIDataEntry_InputRejected();
  void lblToastMsg_Click();
  void chkComPortOpen_Click();
  void cmbComPort_Click();
  void optBaud_Click(int index);
  void optCharacter_Click(int index);
  void cmbSpeed_Click();
  void cmbScrollback_Click();
  void cmbLine_Click();
  void chkDtr_Click(bool down);
  void chkRts_Click(bool down);
  void cmdSendBreak_Click();
  void tmrLines_Timer();
  // The full line settings as the Line frame's boxes show them.
  [[nodiscard]] terminal::LineSettings LineChosen() const;
  void cmdRefreshPorts_Click();
  void cmdAddNetworkPort_Click();
  void cmdReplay_Click();
  void cmdRecord_Click();
  void chkHideBT_Click();
  void tmrPortWatch_Timer();
  void txtHMIlogFolderName_Change(const QString& folder);
  void cmdSelectHMILogFolder_Click();
  void txtHMITraceFileName_Change(const QString& name);
  void cmdSelectHMILogFile_Click();
  void cmdClearHMILogFile_Click();
  void txtASCIILogFileName_Change(const QString& name);
  void txtHexLogFileName_Change(const QString& name);
  void cmdClearASCIILogFile_Click();
  void cmdClearHexLogFile_Click();
  void cmdTerminalLogMarkerLine_Click();
  void cmdSelectASCIILogFile_Click();
  void cmdSelectHexLogFile_Click();
  void Label1_DblClick();
  QPushButton* MakeUserButton(int index);

  FaultReport Report;
  FrmTerminalUi Widgets;
  std::unique_ptr<QtDrawingSurface> HmiSurface;
  app::Panel* Panel = nullptr;
  std::unique_ptr<PaneRefresher> LogPane;
  QTimer PortWatchTimer;  // reopens a port that came back while "Open" is down
  QTimer LinesTimer;      // the input lines' lamps, while the Settings tab is in view
  QTimer FitTimer;        // the screen grows (or shrinks back) once a resize has settled
  void FitScreen();
  bool LogShownBeforeFullScreen = true;
  static constexpr int kLinesPollMs = 100;
  std::vector<QPushButton*> cmdHMIUserButton;
};

}  // namespace korvani::ui
