// SPDX-License-Identifier: GPL-3.0-or-later
// The HMI screen: a character display on the drawing surface. The board picks the number of
// columns; the rows come from the layout table and the largest font that fits is chosen.
// Text goes to the screen only through PrintCell.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/dialogs.h"
#include "hmi/link/arguments.h"
#include "hmi/screen/colour_stack.h"
#include "hmi/screen/drawing_surface.h"
#include "hmi/screen/layout_table.h"
#include "hmi/screen/screen_view.h"
#include "hmi/screen/text_cells.h"

namespace korvani::hmi::screen {

inline constexpr std::string_view kScreenFont = "Courier New";
inline constexpr double kLargestFontPoints = 30.0;
inline constexpr double kSmallestFontPoints = 3.0;
inline constexpr double kFontStepPoints = 0.25;

// What a screen reset asks of the parts that own soft buttons and panel controls.
struct ResetHooks {
  std::function<void()> ForgetHeldButton;    // the button state machine's "I" event
  std::function<void()> ResetButtons;        // F1 to F8 in their grid, the rest hidden
  std::function<void()> ResetPanelControls;  // the developer controls' default visibility
  std::function<void()> PlaceButtons;        // every button again from its cells, at the new size
};

class Screen {
 public:
  // `send` hands a finished reply to the board (PanelSend).
  Screen(DrawingSurface& surface, ScreenView& view, base::Dialogs& dialogs,
         std::function<void(std::string_view)> send);

  void SetResetHooks(ResetHooks hooks) { Hooks = std::move(hooks); }
  // The heights the screen may take with the log pane shown or hidden (twips).
  void SetAvailableHeights(double logShown, double logHidden);
  void SetLogPaneVisible(bool visible) { LogPaneVisible = visible; }
  // The surface's designed colours become the defaults of every colour reset.
  void RecordDefaultColours(Colour fore, Colour back);

  LayoutTable& Layouts() { return Table; }

  // Sizes the screen and its font for `columns` (0 keeps the last request) and clears it.
  // A negative count throws std::invalid_argument before anything changes.
  void ScreenSetup(std::int16_t columns);
  // Sizes the screen for an area (twips, the screen's borders included) by the same search
  // over both its sides, from the largest size the area could take down to 3 points, and
  // draws what the board drew since the last clear again at the new size, as its commands
  // would have drawn it there; the buttons are placed again from their cells. Nothing is sent
  // to the board. When more was drawn than is kept, the picture is not drawn again and
  // PictureKept() is false until the next clear.
  void Refit(double areaWidth, double areaHeight);
  [[nodiscard]] bool PictureKept() const { return !StepsLost; }
  // The window is so much larger than its size at start-up (twips, never less than none):
  // the screen grows by that much beyond its set-up size. With none it is exactly the set-up
  // size. A set-up tells the view its new size (SetScreenBaseSize), which tells the screen
  // its room again.
  void GrowBy(double extraWidth, double extraHeight);
  // The same, told the whole area the screen may take (twips): full screen's.
  void FillArea(double width, double height);
  // The board's bar graph ("Q"), drawn and kept.
  void DrawBar(const link::Arguments& a);
  void ScreenReset();
  void MeasureCell();
  void PrintCell(std::string_view text, std::int32_t y, std::int32_t x, Colour fore, Colour back);
  void PrintAtCursor(std::string_view text);
  void CursorTo(std::string_view rowText, std::string_view columnText);
  void CursorMove(std::string_view rowText, std::string_view columnText);
  void SetForeColour(std::string_view red, std::string_view green, std::string_view blue);
  void SetBackColour(std::string_view red, std::string_view green, std::string_view blue);
  void ClearScreen();
  // The board's width command: set up, then reply with `replyText` and EOT.
  void SetColumns(std::string_view columnText, std::string_view replyText);

  // One position argument in twips along an axis with that cell size and total size.
  static std::int32_t ResolvePosition(std::string_view text, std::int16_t cell, std::int32_t total,
                                      float offset);
  // One size argument in twips: whole cells plus `extra` cells, or (between 0 and 1) a
  // fraction of the total. Soft buttons and bar graphs size themselves with it.
  static std::int32_t ResolveSize(std::string_view text, std::int16_t cell, std::int32_t total, float extra);
  // What PrintCell draws for a text: control codes as a middle dot, one per cell.
  static std::string DisplayText(std::string_view text);

  // Colours to the defaults, every saved pair too.
  void ResetColours();
  void PushColours();
  void PopColours();
  // A column ruler on row 0 and row numbers down the left edge, black on cyan.
  void DrawRulers();

  [[nodiscard]] DrawingSurface& Surface() { return Canvas; }
  // The characters shown and their colours, cell by cell.
  [[nodiscard]] const TextCells& Characters() const { return Cells; }
  // The cell (row, column, from 0) nearest a place on the screen (twips); none before the
  // screen is set up.
  [[nodiscard]] std::optional<std::pair<int, int>> CellAt(double top, double left) const;

  // The screen's state as the board and the window see it; only the screen changes it.
  [[nodiscard]] std::int16_t ScreenColumns() const { return ColumnCount; }
  [[nodiscard]] std::int16_t ScreenRows() const { return RowCount; }
  [[nodiscard]] std::int16_t RequestedColumns() const { return RequestedCount; }
  [[nodiscard]] float CellHeight() const { return CellHeightTwips; }
  [[nodiscard]] float CellWidth() const { return CellWidthTwips; }
  [[nodiscard]] std::int32_t CursorX() const { return CursorLeft; }
  [[nodiscard]] std::int32_t CursorY() const { return CursorTop; }
  [[nodiscard]] Colour ForeColour() const { return CurrentFore; }
  [[nodiscard]] Colour BackColour() const { return CurrentBack; }
  [[nodiscard]] double FontPoints() const { return Points; }
  // A command that draws, or changes what later drawing looks like (the command table says
  // which), kept for a redraw at another size: the board's messages as they run, and what the
  // panel draws the same way (the intro's typing, the ruler button). Since the last clear,
  // up to kMostPictureSteps steps or kMostPictureBytes.
  void KeepForRedraw(char command, const link::Arguments& args);
  // How a kept command runs again: through the same bindings the board's messages take.
  using RedrawHook = std::function<void(char command, const link::Arguments& args)>;
  void SetRedraw(RedrawHook redraw) { Redraw = std::move(redraw); }

 private:
  struct Components {
    std::int32_t Red = 0;
    std::int32_t Green = 0;
    std::int32_t Blue = 0;
  };
  struct CellSize {
    float Height;
    float Width;
  };
  static Colour SetComponents(Components& components, std::string_view red, std::string_view green,
                              std::string_view blue);
  void SetFontSize(double points);
  // The height the set-up may take: with the log pane shown or hidden.
  [[nodiscard]] double AvailableHeight() const {
    return LogPaneVisible ? AvailHeightLogShown : AvailHeightLogHidden;
  }
  // The largest font size (points, at most `mostPoints`, at least 3) whose cells, for the rows
  // and columns, fit the area, searched from `fromPoints`: it fits and the next quarter point
  // does not. The screen's font stays as it was.
  double FittingPoints(double areaWidth, double areaHeight, double fromPoints, double mostPoints);

  // What changed the picture since the last clear: a command letter and its arguments, run
  // again from the state the clear left.
  struct PictureStep {
    char Command;
    std::vector<std::string> Args;
  };
  struct PictureStart {
    std::int32_t CursorLeft = 0;
    std::int32_t CursorTop = 0;
    Colour Fore = 0;
    Colour Back = 0;
    Components ForeComponents;
    Components BackComponents;
    ColourStack Stack;
    Colour SurfaceBack = 0;
  };
  void StartPicture();  // after a clear: nothing drawn yet
  // The screen at that font size, the board's drawing drawn again (nothing when it is the size
  // already).
  void Resize(double points);

  DrawingSurface& Canvas;
  ScreenView& View;
  base::Dialogs& Dialogs;
  std::function<void(std::string_view)> Send;
  ResetHooks Hooks;
  RedrawHook Redraw;
  LayoutTable Table;
  ColourStack Stack;
  Components ForeComponents;
  Components BackComponents;
  double AvailHeightLogShown = 0;
  double AvailHeightLogHidden = 0;
  bool LogPaneVisible = true;
  // Cell sizes by font size in quarter points: the surface's metrics never change, so
  // each size is measured once and the font search costs lookups only.
  std::map<int, CellSize> MeasuredCells;
  std::int16_t ColumnCount = 0;
  std::int16_t RowCount = 0;
  std::int16_t RequestedCount = 0;
  float CellHeightTwips = 0;
  float CellWidthTwips = 0;
  std::int32_t CursorLeft = 0;
  std::int32_t CursorTop = 0;
  Colour CurrentFore = 0;
  Colour CurrentBack = 0;
  Colour DefaultFore = 0;
  Colour DefaultBack = 0;
  double Points = kLargestFontPoints;
  double SetupWidth = 0;  // the outer width the last set-up's cells need
  double SetupPoints = kLargestFontPoints;
  std::vector<PictureStep> Steps;
  std::size_t StepBytes = 0;
  PictureStart Start;
  bool StepsLost = false;
  bool Replaying = false;
  TextCells Cells;
};

// Steps of drawing kept for a redraw at another size, and the bytes they may take (their
// texts and what keeping each costs); past either the picture is not kept. Drawn again on
// every resize, so bounded by the time that takes as much as by memory.
inline constexpr std::size_t kMostPictureSteps = 20000;
inline constexpr std::size_t kMostPictureBytes = std::size_t{8} << 20;

}  // namespace korvani::hmi::screen
