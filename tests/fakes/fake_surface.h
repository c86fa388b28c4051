// SPDX-License-Identifier: GPL-3.0-or-later
// A drawing surface with deterministic metrics: a character is 12 twips wide and 24 high per
// point (10 points give the 120 x 240 twip cell), the border is 30 twips a side, and every
// drawing call is recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/dialogs.h"
#include "hmi/screen/drawing_surface.h"

namespace korvani::fakes {

class FakeSurface final : public hmi::screen::DrawingSurface {
 public:
  static constexpr double kBorder = 30;

  struct Rect {
    double X1, Y1, X2, Y2;
    hmi::screen::Colour Colour;
  };
  struct Text {
    std::string Value;
    double X, Y;
    hmi::screen::Colour Colour;
  };

  void SetFont(std::string_view family, double points) override {
    Family.assign(family);
    Points = points;
  }
  [[nodiscard]] double TextHeight(std::string_view /*text*/) const override {
    ++Measurements;
    return Points * 24;
  }
  [[nodiscard]] double TextWidth(std::string_view text) const override {
    ++Measurements;
    return static_cast<double>(text.size()) * Points * 12;
  }
  void FillRect(double x1, double y1, double x2, double y2, hmi::screen::Colour colour) override {
    Rects.push_back({x1, y1, x2, y2, colour});
  }
  void DrawText(std::string_view text, double x, double y, hmi::screen::Colour colour) override {
    Texts.push_back({std::string(text), x, y, colour});
  }
  void Clear() override {
    ++Clears;
    Rects.clear();
    Texts.clear();
  }
  void SetBackColour(hmi::screen::Colour colour) override {
    Back = colour;
    Clear();
  }
  [[nodiscard]] hmi::screen::Colour BackColour() const override { return Back; }
  void Refresh() override { ++Refreshes; }
  void SetOuterSize(double width, double height) override {
    Width = width;
    Height = height;
  }
  [[nodiscard]] double OuterWidth() const override { return Width; }
  [[nodiscard]] double OuterHeight() const override { return Height; }
  [[nodiscard]] double InnerWidth() const override { return Width - 2 * kBorder; }
  [[nodiscard]] double InnerHeight() const override { return Height - 2 * kBorder; }
  [[nodiscard]] double TwipsPerPixel() const override { return 15; }

  std::string Family;
  double Points = 0;
  double Width = 4860;
  double Height = 6300;
  hmi::screen::Colour Back = 0;
  std::vector<Rect> Rects;
  std::vector<Text> Texts;
  int Clears = 0;
  int Refreshes = 0;
  mutable int Measurements = 0;
};

// Message boxes answered at once, each one recorded.
class FakeDialogs final : public base::Dialogs {
 public:
  struct Box {
    std::string Text, Title;
    base::MessageIcon Icon;
  };
  base::MessageResult ShowMessage(std::string_view text, std::string_view title, base::MessageIcon icon,
                                  base::MessageButtons /*buttons*/) override {
    Boxes.push_back({std::string(text), std::string(title), icon});
    if (WhileShown) {
      WhileShown();
    }
    return Answer;
  }
  void Beep() override { ++Beeps; }
  std::string PickFolder(std::string_view prompt, std::string_view initialFolder) override {
    Picks.push_back(std::string(prompt) + " | " + std::string(initialFolder));
    return FolderAnswer;
  }
  std::string PickSaveFile(std::string_view initialName) override {
    Picks.push_back("save | " + std::string(initialName));
    return FileAnswer;
  }
  std::string PickOpenFile(std::string_view prompt) override {
    Picks.push_back("open | " + std::string(prompt));
    return FileAnswer;
  }

  std::vector<Box> Boxes;
  std::function<void()> WhileShown;  // what the event loop delivers while the box is open
  base::MessageResult Answer = base::MessageResult::Ok;
  int Beeps = 0;
  std::vector<std::string> Picks;
  std::string FolderAnswer;  // what the pickers return ("" = cancelled)
  std::string FileAnswer;
};

}  // namespace korvani::fakes
