// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/screen.h"
#include "base/text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "base/numbers.h"
#include "hmi/link/protocol.h"
#include "hmi/screen/bar_graph.h"

namespace korvani::hmi::screen {

namespace {

using base::LenientNumber;
using base::TrimBlanks;
using base::UpperCase;
using base::WholeNumber;

constexpr char kMiddleDot = '\xB7';
// The largest font a refit tries: far past any display.
constexpr double kLargestFittingPoints = 500.0;

}  // namespace

Screen::Screen(DrawingSurface& surface, ScreenView& view, base::Dialogs& dialogs,
               std::function<void(std::string_view)> send)
    : Canvas(surface), View(view), Dialogs(dialogs), Send(std::move(send)) {}

void Screen::SetAvailableHeights(double logShown, double logHidden) {
  AvailHeightLogShown = logShown;
  AvailHeightLogHidden = logHidden;
}

void Screen::RecordDefaultColours(Colour fore, Colour back) {
  DefaultFore = fore;
  DefaultBack = back;
}

void Screen::SetFontSize(double points) {
  Points = points;
  Canvas.SetFont(kScreenFont, points);
}

void Screen::MeasureCell() {
  const int key = static_cast<int>(std::lround(Points / kFontStepPoints));
  const auto found = MeasuredCells.find(key);
  if (found != MeasuredCells.end()) {
    CellHeightTwips = found->second.Height;
    CellWidthTwips = found->second.Width;
    return;
  }
  CellHeightTwips = static_cast<float>(Canvas.TextHeight("MjyT"));
  CellWidthTwips = static_cast<float>(Canvas.TextWidth("M"));
  MeasuredCells.emplace(key, CellSize{CellHeightTwips, CellWidthTwips});
}

void Screen::ScreenSetup(std::int16_t columns) {
  if (columns < 0) {
    throw std::invalid_argument("negative column count");
  }
  if (columns != 0) {
    RequestedCount = columns;
  }
  if (RequestedCount > Table.UpperBound()) {
    Dialogs.ShowMessage("That's more characters than I can handle!", "Limit exceeded",
                        base::MessageIcon::Exclamation, base::MessageButtons::Ok);
    RequestedCount = Table.UpperBound();
    View.SetWidthBoxText(std::to_string(RequestedCount));
  }
  RowCount = Table.RowsFor(RequestedCount);

  // The rows alone decide: from 30 points down, the first that fits the height, else 3 points.
  SetFontSize(FittingPoints(std::numeric_limits<double>::infinity(), AvailableHeight(), kLargestFontPoints,
                            kLargestFontPoints));
  MeasureCell();

  const double borders = Canvas.OuterWidth() - Canvas.InnerWidth();
  SetupWidth = static_cast<double>(RequestedCount) * CellWidthTwips + borders;
  Canvas.SetOuterSize(SetupWidth, static_cast<double>(RowCount) * CellHeightTwips);
  View.SetTitleWidth(Canvas.OuterWidth());
  ColumnCount = RequestedCount;
  Canvas.Clear();
  Cells.Reset(RowCount, ColumnCount, CurrentFore);
  StartPicture();
  SetupPoints = Points;
  // The view measures its room against the new size and tells the screen again.
  View.SetScreenBaseSize(Canvas.OuterWidth(), Canvas.OuterHeight());
}

void Screen::FillArea(double width, double height) {
  GrowBy(width - SetupWidth, height - AvailableHeight());
}

void Screen::GrowBy(double extraWidth, double extraHeight) {
  if (ColumnCount <= 0 || RowCount <= 0) {
    return;
  }
  if (extraWidth <= 0 && extraHeight <= 0) {
    Resize(SetupPoints);  // exactly the set-up size, whatever a search would make of it
    return;
  }
  Refit(SetupWidth + std::max(0.0, extraWidth), AvailableHeight() + std::max(0.0, extraHeight));
}

double Screen::FittingPoints(double areaWidth, double areaHeight, double fromPoints, double mostPoints) {
  const double was = Points;
  const double borders = Canvas.OuterWidth() - Canvas.InnerWidth();
  const auto fits = [&](double points) {
    SetFontSize(points);
    MeasureCell();
    return std::floor(static_cast<double>(RowCount) * CellHeightTwips) <= areaHeight &&
           static_cast<double>(ColumnCount) * CellWidthTwips + borders <= areaWidth;
  };
  // From a guess, up while the next quarter point still fits, then down to the first that
  // fits: the size found fits and the next quarter point does not.
  double points =
      std::clamp(std::floor(fromPoints / kFontStepPoints) * kFontStepPoints, kSmallestFontPoints, mostPoints);
  while (points + kFontStepPoints <= mostPoints && fits(points + kFontStepPoints)) {
    points += kFontStepPoints;
  }
  while (points > kSmallestFontPoints && !fits(points)) {
    points -= kFontStepPoints;
  }
  SetFontSize(was);  // the screen's font as it was: the caller sets the one found
  MeasureCell();
  return points;
}

void Screen::Refit(double areaWidth, double areaHeight) {
  if (ColumnCount <= 0 || RowCount <= 0) {
    return;
  }
  // The cells grow with the font: the guess is the size that would fill the tighter side.
  const double guess = Points * std::min(areaHeight / (RowCount * static_cast<double>(CellHeightTwips)),
                                         areaWidth / (ColumnCount * static_cast<double>(CellWidthTwips)));
  Resize(FittingPoints(areaWidth, areaHeight, guess, kLargestFittingPoints));
}

void Screen::Resize(double points) {
  if (points == Points) {
    return;
  }
  const float oldWidth = CellWidthTwips;
  const float oldHeight = CellHeightTwips;
  SetFontSize(points);
  MeasureCell();
  const double borders = Canvas.OuterWidth() - Canvas.InnerWidth();
  Canvas.SetOuterSize(static_cast<double>(ColumnCount) * CellWidthTwips + borders,
                      static_cast<double>(RowCount) * CellHeightTwips);
  View.SetTitleWidth(Canvas.OuterWidth());
  if (StepsLost) {
    // The picture stays as it was; the cursor keeps its cell.
    CursorLeft = WholeNumber(CursorLeft * static_cast<double>(CellWidthTwips / oldWidth));
    CursorTop = WholeNumber(CursorTop * static_cast<double>(CellHeightTwips / oldHeight));
  } else {
    // From the state the clear left, every step again; what failed then fails again, alone.
    CursorLeft = Start.CursorLeft;
    CursorTop = Start.CursorTop;
    CurrentFore = Start.Fore;
    CurrentBack = Start.Back;
    ForeComponents = Start.ForeComponents;
    BackComponents = Start.BackComponents;
    Stack = Start.Stack;
    Canvas.SetBackColour(Start.SurfaceBack);
    Replaying = true;
    link::Arguments args;
    for (const PictureStep& step : Steps) {
      std::fill(args.begin(), args.end(), std::string());
      std::copy(step.Args.begin(), step.Args.end(), args.begin());
      try {
        if (Redraw) {
          Redraw(step.Command, args);  // through the board's own command table
        }
      } catch (const std::exception&) {
      }
    }
    Replaying = false;
  }
  if (Hooks.PlaceButtons) {
    Hooks.PlaceButtons();
  }
}

void Screen::StartPicture() {
  Steps.clear();
  StepBytes = 0;
  StepsLost = false;
  Start = {CursorLeft,     CursorTop,      CurrentFore, CurrentBack,
           ForeComponents, BackComponents, Stack,       Canvas.BackColour()};
}

void Screen::KeepForRedraw(char command, const link::Arguments& args) {
  if (Replaying || StepsLost) {
    return;
  }
  // The arguments up to the last one given: most commands have one to five.
  std::size_t count = args.size();
  while (count > 0 && args[count - 1].empty()) {
    --count;
  }
  std::size_t cost = sizeof(PictureStep);
  for (std::size_t i = 0; i < count; ++i) {
    cost += sizeof(std::string) + args[i].size();
  }
  if (Steps.size() >= kMostPictureSteps || StepBytes + cost > kMostPictureBytes) {
    StepsLost = true;
    std::vector<PictureStep>().swap(Steps);
    StepBytes = 0;
    return;
  }
  StepBytes += cost;
  PictureStep& step = Steps.emplace_back();
  step.Command = command;
  step.Args.assign(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(count));
}

void Screen::DrawBar(const link::Arguments& a) {
  DrawBarGraph(*this, a);
}

void Screen::ResetColours() {
  CurrentFore = DefaultFore;
  CurrentBack = DefaultBack;
  Stack.Reset({CurrentFore, CurrentBack});
}

void Screen::PushColours() {
  Stack.Push({CurrentFore, CurrentBack});
}

void Screen::PopColours() {
  const ColourPair top = Stack.Pop();
  CurrentFore = top.Fore;
  CurrentBack = top.Back;
}

void Screen::DrawRulers() {
  static constexpr std::string_view kRuler =
      ".123456789.123456789.123456789.123456789.123456789.123456789.123456789.123456789.123456789."
      "123456789.123456789.123456789";
  constexpr Colour kBlack = 0x000000;
  constexpr Colour kCyan = 0xFFFF00;
  const std::size_t columns = ColumnCount > 0 ? static_cast<std::size_t>(ColumnCount) : 0;
  PrintCell(kRuler.substr(0, columns), 0, 0, kBlack, kCyan);
  for (int row = 1; row < RowCount; ++row) {
    const std::string number = " " + std::to_string(row);
    PrintCell(std::string_view(number).substr(number.size() - 2),
              WholeNumber(row * static_cast<double>(CellHeightTwips)), 0, kBlack, kCyan);
  }
}

void Screen::ScreenReset() {
  if (Hooks.ForgetHeldButton) {
    Hooks.ForgetHeldButton();
  }
  if (Hooks.ResetButtons) {
    Hooks.ResetButtons();
  }
  View.SetTitleWidth(Canvas.OuterWidth());
  View.SetTitleCaption("--");
  ResetColours();
  ClearScreen();
  if (Hooks.ResetPanelControls) {
    Hooks.ResetPanelControls();
  }
}

std::string Screen::DisplayText(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || code == 127) {
      c = kMiddleDot;
    }
  }
  return shown;
}

void Screen::PrintCell(std::string_view text, std::int32_t y, std::int32_t x, Colour fore, Colour back) {
  const std::string shown = DisplayText(text);
  const std::int32_t width = WholeNumber(Canvas.TextWidth(shown));
  const std::int32_t height = WholeNumber(static_cast<double>(CellHeightTwips) - Canvas.TwipsPerPixel());
  Canvas.FillRect(x, y, static_cast<double>(x) + width, static_cast<double>(y) + height, back);
  Canvas.DrawText(shown, x, y, fore);
  Canvas.Refresh();
  if (const auto cell = CellAt(y, x)) {
    Cells.Put(cell->first, cell->second, shown, fore);
  }
}

std::optional<std::pair<int, int>> Screen::CellAt(double top, double left) const {
  if (CellHeightTwips <= 0 || CellWidthTwips <= 0) {
    return std::nullopt;
  }
  return std::pair<int, int>(static_cast<int>(std::floor(top / static_cast<double>(CellHeightTwips) + 0.5)),
                             static_cast<int>(std::floor(left / static_cast<double>(CellWidthTwips) + 0.5)));
}

void Screen::PrintAtCursor(std::string_view text) {
  if (text.empty()) {
    return;
  }
  PrintCell(text, CursorTop, CursorLeft, CurrentFore, CurrentBack);
  CursorLeft = WholeNumber(CursorLeft + static_cast<double>(text.size()) * CellWidthTwips);
}

void Screen::CursorTo(std::string_view rowText, std::string_view columnText) {
  if (!TrimBlanks(rowText).empty()) {
    CursorTop = ResolvePosition(rowText, static_cast<std::int16_t>(std::floor(CellHeightTwips)),
                                WholeNumber(Canvas.InnerHeight()), 0.0F);
  }
  if (!TrimBlanks(columnText).empty()) {
    CursorLeft = ResolvePosition(columnText, static_cast<std::int16_t>(std::floor(CellWidthTwips)),
                                 WholeNumber(Canvas.InnerWidth()), 0.0F);
  }
}

void Screen::CursorMove(std::string_view rowText, std::string_view columnText) {
  if (!TrimBlanks(rowText).empty()) {
    CursorTop = WholeNumber(CursorTop + LenientNumber(rowText) * CellHeightTwips);
  }
  if (!TrimBlanks(columnText).empty()) {
    CursorLeft = WholeNumber(CursorLeft + CellWidthTwips * LenientNumber(columnText));
  }
}

Colour Screen::SetComponents(Components& components, std::string_view red, std::string_view green,
                             std::string_view blue) {
  const auto apply = [](std::int32_t& component, std::string_view text) {
    if (text.empty()) {
      return;  // not trimmed: a single blank is a value and reads as 0
    }
    const double value = LenientNumber(text);
    if (value < 0 || value > 255) {
      return;
    }
    component = WholeNumber(value);
  };
  apply(components.Red, red);
  apply(components.Green, green);
  apply(components.Blue, blue);
  return components.Red + 256 * components.Green + 65536 * components.Blue;
}

void Screen::SetForeColour(std::string_view red, std::string_view green, std::string_view blue) {
  CurrentFore = SetComponents(ForeComponents, red, green, blue);
}

void Screen::SetBackColour(std::string_view red, std::string_view green, std::string_view blue) {
  CurrentBack = SetComponents(BackComponents, red, green, blue);
}

void Screen::ClearScreen() {
  Canvas.Clear();
  Cells.Reset(RowCount, ColumnCount, CurrentFore);
  Canvas.SetBackColour(CurrentBack);
  CursorLeft = 1;
  CursorTop = 1;
  StartPicture();
}

void Screen::SetColumns(std::string_view columnText, std::string_view replyText) {
  const double columns = LenientNumber(columnText);
  if (!base::FitsInt16(columns)) {
    throw std::out_of_range("column count outside 16 bits");
  }
  ScreenSetup(static_cast<std::int16_t>(WholeNumber(columns)));
  Send(link::TextMessage(replyText));
}

std::int32_t Screen::ResolvePosition(std::string_view text, std::int16_t cell, std::int32_t total,
                                     float offset) {
  const std::string upper = UpperCase(TrimBlanks(text));
  if (upper.empty()) {
    return 0;
  }
  double v = 0;
  const double number = LenientNumber(upper);
  if (upper == "-0") {
    v = total - cell;
  } else if (number != 0) {
    v = number;
    if (std::fabs(v) < 0.00001) {
      v = 0;
    } else if (v > -1 && v < 0) {
      v = (v + 1) * total;
    } else if (v > 0 && v < 1) {
      v = v * total;
    } else if (v <= -1) {
      v = total + v * cell - cell;
    } else {
      v = v * cell;
    }
  } else if (upper.front() == 'C') {
    v = LenientNumber(std::string_view(upper).substr(1)) * cell + total / 2.0;
  }
  const float shift = static_cast<float>(cell) * offset;
  return WholeNumber(v + static_cast<double>(shift));
}

std::int32_t Screen::ResolveSize(std::string_view text, std::int16_t cell, std::int32_t total, float extra) {
  const auto a = static_cast<float>(LenientNumber(base::UpperCase(base::TrimBlanks(text))));
  float size = 0;
  if (a <= 0 || a >= 1) {
    size = (a + extra) * static_cast<float>(cell);
  } else {
    size = extra * static_cast<float>(cell) + a * static_cast<float>(total);
  }
  return WholeNumber(size);
}

}  // namespace korvani::hmi::screen
