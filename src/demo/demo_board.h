// SPDX-License-Identifier: GPL-3.0-or-later
// A simulated Vexel board: the program a board would run to drive the panel. It is also the
// example a board programmer reads to learn the protocol, so it is written as a plain script:
// what the board sends is built with BoardMessage, what it hears are the panel's replies,
// each ended by EOT.
//
// The screen it draws (40 columns):
//   row 0       title, in yellow on blue
//   rows 2-7    live values: temperature, pressure, setpoint, count, clock, disk log
//   row 9       a bar graph of the tank level
//   rows 12-17  six soft buttons; "Count +" repeats while held down
//   last row    a hint
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace korvani::demo {

class DemoBoard {
 public:
  // How often Tick runs; the board's clock is the number of ticks.
  static constexpr int kTickMs = 50;

  // The port was opened: the board greets the panel by setting the screen width.
  void PowerUp();
  // Bytes the panel wrote to the board.
  void Hear(std::string_view bytes);
  // One step of the board's own work: values change, the bar moves, logs are written.
  void Tick();
  // What the board sent since the last call.
  std::string TakeOutput();
  // Whether the panel writes the board's log files (it gives up when no log folder was
  // chosen). A real board cannot know; the demo lives in the program and asks, so that its
  // screen never says a log is written when none is.
  void SetPanelWritesLogs(std::function<bool()> writes) { PanelWritesLogs = std::move(writes); }

  // What the board knows, for tests.
  [[nodiscard]] int Count() const { return Counter; }
  [[nodiscard]] int Setpoint() const { return SetpointC; }
  [[nodiscard]] const std::string& ClockText() const { return PcClock; }

 private:
  void Send(char command, std::initializer_list<std::string_view> arguments = {});
  void PrintAt(int row, int column, std::string_view text);
  // A value in the value column, in the colour of values.
  void PrintAt(int row, std::string_view value);
  void OnReply(std::string_view reply);
  // A line in the panel's log pane.
  void LogLine(const std::string& text);
  // Back to the colours saved when the screen was drawn.
  void RestoreColours();
  void DrawScreen();
  void ShowValues();
  void ShowCount();
  void ShowSetpoint();
  void ShowDiskLog();
  void ToggleDiskLog();
  void WriteLogRecord();
  [[nodiscard]] double Temperature() const;
  [[nodiscard]] double Pressure() const;
  [[nodiscard]] double Level() const;

  std::string Output;
  std::string Heard;  // a reply not yet ended by EOT
  bool ScreenDrawn = false;
  std::int64_t Ticks = 0;
  int Counter = 0;
  int SetpointC = 24;
  bool AboveSetpoint = false;
  bool Logging = false;
  bool LogOpened = false;
  std::function<bool()> PanelWritesLogs;
  std::string DiskLogShown;
  std::string PcClock;
};

}  // namespace korvani::demo
