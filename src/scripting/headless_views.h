// SPDX-License-Identifier: GPL-3.0-or-later
// A session with no window, for a script run headless: the views keep only what the session
// reads back from them (the port chosen, "Open", the number prompt's box) and tell every
// problem a window would show; the dialogs tell their message and answer as a user who
// declines would; the surface measures cells of a fixed size, so the screen lays out and
// keeps its characters as it would in a window.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/panel_view.h"
#include "base/dialogs.h"
#include "hmi/screen/drawing_surface.h"

namespace korvani::scripting {

using ProblemSink = std::function<void(std::string_view problem)>;

class HeadlessView final : public app::PanelView {
 public:
  explicit HeadlessView(ProblemSink problem) : Problem(std::move(problem)) {}

  // What the session reads back.
  [[nodiscard]] bool OpenChecked() const override { return OpenDown; }
  void SetOpenChecked(bool checked) override { OpenDown = checked; }
  void ClearComPorts() override { ComPorts.clear(); }
  void AddComPort(std::string_view name) override { ComPorts.emplace_back(name); }
  void SetComPortText(std::string_view text) override { ComPortShown.assign(text); }
  void SelectComPort(int index) override { ComPortShown = ComPorts.at(static_cast<std::size_t>(index)); }
  [[nodiscard]] std::string ComPortText() const override { return ComPortShown; }
  [[nodiscard]] bool HideBluetoothChecked() const override { return false; }
  void SetToastVisible(bool visible) override { ToastShown = visible; }
  [[nodiscard]] bool ToastVisible() const override { return ToastShown; }
  void SetEntryText(std::string_view text) override { EntryBox.assign(text); }
  [[nodiscard]] std::string EntryText() const override { return EntryBox; }
  void SetWidthBoxText(std::string_view text) override { WidthBox.assign(text); }
  [[nodiscard]] std::string WidthBoxText() const override { return WidthBox; }
  [[nodiscard]] app::ScreenHeights AvailableScreenHeights() const override { return {6300, 9300}; }

  // What a window would show as a problem.
  void ShowLogProblem(std::string_view problem) override { Tell(problem); }
  void ShowConnectionProblem(std::string_view problem) override { Tell(problem); }
  // The last problem the port had, for the exit message.
  [[nodiscard]] const std::string& LastProblem() const { return Said; }

  // The rest is drawn, and nothing is.
  void ShowHistory(terminal::HistoryForm /*form*/) override {}
  void SetFreezeCaption(std::string_view /*caption*/) override {}
  void SetTimestampsShown(bool /*on*/) override {}
  void ShowRepeat(int /*index*/, const terminal::TxRepeat& /*repeat*/) override {}
  void ShowTestEcho(std::string_view /*hexListing*/) override {}
  void ShowLineEnd(terminal::LineEnd /*end*/) override {}
  void ShowScrollback(const terminal::Scrollback& /*scrollback*/) override {}
  std::string SaveScreenPicture(const std::string& /*path*/) override {
    return "there is no window to picture";
  }
  void ShowLineSettings(const ports::LineSettings& /*line*/) override {}
  void ShowControlLines(const ports::ControlLines& /*lines*/, bool /*portOpen*/, bool /*rtsByDriver*/,
                        bool /*hasLines*/) override {}
  void ShowConnectionStatus(std::string_view /*status*/) override {}
  void ShowLineApplies(bool /*applies*/) override {}
  void ShowRecording(std::string_view /*path*/) override {}
  void ShowButton(int /*index*/, const hmi::screen::HMIButton& /*button*/) override {}
  void BringButtonToFront(int /*index*/) override {}
  void SetToastText(std::string_view /*text*/) override {}
  void SetEntryPrompt(std::string_view /*prompt*/) override {}
  void SetEntryFrameVisible(bool /*visible*/) override {}
  void FocusEntry() override {}
  void ShowHmiLog(std::string_view /*text*/) override {}
  void SetLogFreezeCaption(std::string_view /*caption*/) override {}
  void SetLogPaneVisible(bool /*visible*/) override {}
  void SetTraceFileName(std::string_view /*name*/) override {}
  void ShowLogFolder(std::string_view /*folder*/) override {}
  void SetAsciiLogFileName(std::string_view /*name*/) override {}
  void SetHexLogFileName(std::string_view /*name*/) override {}
  void SetCheckDisp(std::string_view /*caption*/) override {}
  void SetCheckBox(app::SettingsCheck /*which*/, bool /*ticked*/) override {}
  void SetControlVisible(hmi::screen::PanelControl /*control*/, bool /*visible*/) override {}
  void SetTerminalFunctions(bool /*available*/) override {}
  void ShowConsoleOptions(const app::ConsoleOptions& /*options*/) override {}
  void ShowTransfer(std::string_view /*title*/, std::string_view /*progress*/, int /*percent*/) override {}
  void EndTransfer(std::string_view /*outcome*/) override {}
  void SetTxLine(int /*index*/, std::string_view /*text*/) override {}
  void SetTitleWidth(double /*twips*/) override {}
  void SetTitleCaption(std::string_view /*caption*/) override {}
  void SetTxCaption(std::string_view /*caption*/) override {}
  void SetCaption(std::string_view /*caption*/) override {}
  void SelectTab(int /*index*/) override {}
  void FitWidthToTabs() override {}

 private:
  void Tell(std::string_view problem);

  ProblemSink Problem;
  std::string Said;
  bool OpenDown = false;
  std::vector<std::string> ComPorts;
  std::string ComPortShown;
  bool ToastShown = false;
  std::string EntryBox;
  std::string WidthBox;
};

class HeadlessDialogs final : public base::Dialogs {
 public:
  explicit HeadlessDialogs(ProblemSink problem) : Problem(std::move(problem)) {}
  // The message told; Ok, Cancel or No: nothing a window's user would have to agree to.
  base::MessageResult ShowMessage(std::string_view text, std::string_view title, base::MessageIcon icon,
                                  base::MessageButtons buttons) override;
  void Beep() override {}
  std::string PickFolder(std::string_view /*prompt*/, std::string_view /*initialFolder*/) override {
    return {};
  }
  std::string PickSaveFile(std::string_view /*initialName*/) override { return {}; }
  std::string PickOpenFile(std::string_view /*prompt*/) override { return {}; }

 private:
  ProblemSink Problem;
};

// Cells of 12 by 24 twips a point of the font, as a monospaced font about measures.
class CellSurface final : public hmi::screen::DrawingSurface {
 public:
  void SetFont(std::string_view /*family*/, double points) override { Points = points; }
  [[nodiscard]] double TextHeight(std::string_view /*text*/) const override { return 24 * Points; }
  [[nodiscard]] double TextWidth(std::string_view text) const override {
    return 12 * Points * static_cast<double>(text.size());
  }
  void FillRect(double /*x1*/, double /*y1*/, double /*x2*/, double /*y2*/,
                hmi::screen::Colour /*c*/) override {}
  void DrawText(std::string_view /*text*/, double /*x*/, double /*y*/, hmi::screen::Colour /*c*/) override {}
  void Clear() override {}
  void SetBackColour(hmi::screen::Colour colour) override { Back = colour; }
  [[nodiscard]] hmi::screen::Colour BackColour() const override { return Back; }
  void Refresh() override {}
  void SetOuterSize(double width, double height) override {
    Width = width;
    Height = height;
  }
  [[nodiscard]] double OuterWidth() const override { return Width; }
  [[nodiscard]] double OuterHeight() const override { return Height; }
  [[nodiscard]] double InnerWidth() const override { return Width; }
  [[nodiscard]] double InnerHeight() const override { return Height; }
  [[nodiscard]] double TwipsPerPixel() const override { return 15; }

 private:
  double Points = 10;
  hmi::screen::Colour Back = 0;
  double Width = 4800;
  double Height = 6240;
};

}  // namespace korvani::scripting
