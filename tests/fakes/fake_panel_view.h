// SPDX-License-Identifier: GPL-3.0-or-later
// Records what the panel shows.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/panel_view.h"

namespace korvani::fakes {

class FakePanelView : public app::PanelView {
 public:
  void ShowHistory(terminal::HistoryForm form) override {
    RxForm = form;
    ++RxUpdates;
  }
  void SetFreezeCaption(std::string_view caption) override { FreezeCaption.assign(caption); }
  void SetTimestampsShown(bool on) override { TimestampsShown = on; }
  void ShowLogProblem(std::string_view problem) override {
    LogProblem.assign(problem);
    ++LogProblemsShown;
  }
  void ShowRepeat(int index, const terminal::TxRepeat& repeat) override {
    RepeatsShown.at(static_cast<std::size_t>(index)) = repeat;
  }
  void ShowTestEcho(std::string_view hexListing) override { TestEcho.assign(hexListing); }
  void ShowLineEnd(terminal::LineEnd end) override { LineEndShown = end; }
  void ShowScrollback(const terminal::Scrollback& scrollback) override { ScrollbackShown = scrollback; }
  std::string SaveScreenPicture(const std::string& path) override {
    PicturesSaved.push_back(path);
    return PictureProblem;
  }
  void ShowLineSettings(const ports::LineSettings& line) override {
    LineShown = line;
    BaudOption = ports::QuickBaudIndex(line.Baud);
    CharacterOption = ports::QuickFormatIndex(line);
  }
  void ShowControlLines(const ports::ControlLines& lines, bool portOpen, bool rtsByDriver,
                        bool hasLines) override {
    LinesShown = lines;
    LinesOpen = portOpen;
    LinesPresent = hasLines;
    RtsByDriver = rtsByDriver;
    ++LinesShownCount;
  }
  [[nodiscard]] bool OpenChecked() const override { return OpenDown; }
  void SetOpenChecked(bool checked) override { OpenDown = checked; }
  void ShowConnectionStatus(std::string_view status) override { PortStatus.assign(status); }
  void ShowConnectionProblem(std::string_view problem) override { PortProblem.assign(problem); }
  void ShowLineApplies(bool applies) override { LineApplies = applies; }
  void ShowRecording(std::string_view path) override { RecordingShown.assign(path); }
  void ClearComPorts() override {
    ComPorts.clear();
    ComPortIndex = -1;
  }
  void AddComPort(std::string_view name) override { ComPorts.emplace_back(name); }
  void SetComPortText(std::string_view text) override {
    ComPortIndex = -1;
    ComPortShown.assign(text);
  }
  void SelectComPort(int index) override {
    ComPortIndex = index;
    ComPortShown = ComPorts.at(static_cast<std::size_t>(index));
  }
  [[nodiscard]] std::string ComPortText() const override { return ComPortShown; }
  [[nodiscard]] bool HideBluetoothChecked() const override { return HideBluetooth; }
  void ShowButton(int index, const hmi::screen::HMIButton& button) override {
    Buttons.at(static_cast<std::size_t>(index)) = button;
  }
  void BringButtonToFront(int index) override { Front = index; }
  void SetToastText(std::string_view text) override { ToastText.assign(text); }
  void SetToastVisible(bool visible) override { ToastShown = visible; }
  [[nodiscard]] bool ToastVisible() const override { return ToastShown; }
  void SetEntryPrompt(std::string_view prompt) override { EntryPrompt.assign(prompt); }
  void SetEntryFrameVisible(bool visible) override { EntryShown = visible; }
  void SetEntryText(std::string_view text) override { EntryBox.assign(text); }
  [[nodiscard]] std::string EntryText() const override { return EntryBox; }
  void FocusEntry() override { EntryFocused = true; }
  void ShowHmiLog(std::string_view text) override { HmiLog.assign(text); }
  void SetLogFreezeCaption(std::string_view caption) override { LogFreezeCaption.assign(caption); }
  void SetLogPaneVisible(bool visible) override { LogPaneShown = visible; }
  void SetTraceFileName(std::string_view name) override { TraceFile.assign(name); }
  void ShowLogFolder(std::string_view folder) override { LogFolder.assign(folder); }
  void SetAsciiLogFileName(std::string_view name) override { AsciiLogName.assign(name); }
  void SetHexLogFileName(std::string_view name) override { HexLogName.assign(name); }
  void SetCheckDisp(std::string_view caption) override { CheckDisp.assign(caption); }
  void SetCheckBox(app::SettingsCheck which, bool ticked) override {
    Checks[static_cast<std::size_t>(which)] = ticked;
  }
  void SetControlVisible(hmi::screen::PanelControl control, bool visible) override {
    Controls.at(static_cast<std::size_t>(control)) = visible;
  }
  void SetTerminalFunctions(bool available) override { TerminalFunctions = available; }
  [[nodiscard]] std::string WidthBoxText() const override { return WidthBox; }
  void ShowConsoleOptions(const app::ConsoleOptions& options) override { ConsoleShown = options; }
  void ShowTransfer(std::string_view title, std::string_view progress, int percent) override {
    TransferShown = std::string(title) + " | " + std::string(progress) + " | " + std::to_string(percent);
  }
  void EndTransfer(std::string_view outcome) override { TransferEnds.emplace_back(outcome); }
  void SetTxLine(int index, std::string_view text) override {
    TxLines.at(static_cast<std::size_t>(index)).assign(text);
  }
  void SetTitleWidth(double twips) override { TitleWidth = twips; }
  void SetTitleCaption(std::string_view caption) override {
    TitleCaption.assign(caption);
    Steps.push_back("title " + TitleCaption);
  }
  void SetWidthBoxText(std::string_view text) override { WidthBox.assign(text); }
  void SetTxCaption(std::string_view caption) override { TxCaption.assign(caption); }
  void SetCaption(std::string_view caption) override {
    Caption.assign(caption);
    Steps.emplace_back("caption");
  }
  void SelectTab(int index) override {
    Tab = index;
    Steps.push_back("tab " + std::to_string(index));
  }
  void FitWidthToTabs() override { Steps.emplace_back("fit width"); }
  [[nodiscard]] app::ScreenHeights AvailableScreenHeights() const override { return Heights; }

  terminal::HistoryForm RxForm = terminal::HistoryForm::Ascii;
  int RxUpdates = 0;
  app::ConsoleOptions ConsoleShown;
  std::string TransferShown;  // the last progress: "title | progress | percent"
  std::vector<std::string> TransferEnds;
  terminal::Scrollback ScrollbackShown;
  std::vector<std::string> PicturesSaved;
  std::string PictureProblem;  // what saving a picture answers: empty when it worked
  std::string FreezeCaption = "Freeze";
  std::string TestEcho;
  std::string PortStatus;
  std::string PortProblem;
  bool LineApplies = true;
  std::string RecordingShown;
  std::int16_t BaudOption = -1;
  std::int16_t CharacterOption = -1;
  ports::LineSettings LineShown;
  bool TimestampsShown = false;
  std::string LogProblem;
  int LogProblemsShown = 0;
  std::array<terminal::TxRepeat, terminal::kTxLineCount> RepeatsShown;
  ports::ControlLines LinesShown;
  bool LinesOpen = false;
  bool RtsByDriver = false;
  terminal::LineEnd LineEndShown = terminal::LineEnd::None;
  bool LinesPresent = false;
  int LinesShownCount = 0;
  bool OpenDown = false;
  std::vector<std::string> ComPorts;
  int ComPortIndex = -1;
  std::string ComPortShown;
  bool HideBluetooth = true;
  std::array<hmi::screen::HMIButton, hmi::screen::kButtonCount> Buttons{};
  int Front = -1;
  std::string ToastText;
  bool ToastShown = false;
  std::string EntryPrompt;
  bool EntryShown = false;
  std::string EntryBox;
  bool EntryFocused = false;
  std::string HmiLog;
  std::string LogFreezeCaption = "Freeze";
  bool LogPaneShown = true;
  std::string TraceFile;
  std::string LogFolder;
  std::string AsciiLogName;
  std::string HexLogName;
  std::string CheckDisp;
  std::array<bool, hmi::screen::kMaskedControls> Controls{};
  bool TerminalFunctions = false;
  std::array<bool, 5> Checks{};
  std::array<std::string, 5> TxLines;
  double TitleWidth = 0;
  std::string TitleCaption;
  std::string WidthBox;
  std::string TxCaption = "Tx: ";
  std::string Caption;
  int Tab = 0;
  app::ScreenHeights Heights{6300, 9300};
  std::vector<std::string> Steps;  // the order in which start-up showed things
};

}  // namespace korvani::fakes
