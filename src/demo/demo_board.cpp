// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/demo_board.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "hmi/link/protocol.h"

namespace korvani::demo {

namespace {

using hmi::link::kAck;
using hmi::link::kBel;
using hmi::link::kEnq;
using hmi::link::kEot;

// The reply text the board asks for with its width command: hearing it means the panel is
// there and has set up its screen.
constexpr std::string_view kWidthReply = "DEMO";
// The tag the panel sends before an entered setpoint.
constexpr std::string_view kSetpointTag = "SP";

constexpr std::int64_t kTicksPerSecond = 1000 / DemoBoard::kTickMs;
constexpr int kSetpointMin = 10;
constexpr int kSetpointMax = 40;

// Rows of the screen, and the column the values start in.
constexpr int kRowTemperature = 2;
constexpr int kRowPressure = 3;
constexpr int kRowSetpoint = 4;
constexpr int kRowCount = 5;
constexpr int kRowClock = 6;
constexpr int kRowDiskLog = 7;
constexpr int kRowLevel = 9;
constexpr int kValueColumn = 14;

std::string Format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

double Wave(std::int64_t ticks, double periodSeconds) {
  return std::sin(2.0 * std::numbers::pi * static_cast<double>(ticks) / kTicksPerSecond / periodSeconds);
}

}  // namespace

void DemoBoard::PowerUp() {
  ScreenDrawn = false;
  // 40 columns; the panel answers with our reply text when its screen is ready.
  Send('V', {"40", kWidthReply});
}

std::string DemoBoard::TakeOutput() {
  std::string taken;
  taken.swap(Output);
  return taken;
}

void DemoBoard::Send(char command, std::initializer_list<std::string_view> arguments) {
  Output += hmi::link::BoardMessage(command, arguments);
}

void DemoBoard::PrintAt(int row, int column, std::string_view text) {
  Send('F', {std::to_string(row), std::to_string(column)});
  Send('@', {text});
}

void DemoBoard::PrintAt(int row, std::string_view value) {
  Send('K', {"0", "255", "128"});  // values in green
  PrintAt(row, kValueColumn, value);
}

void DemoBoard::LogLine(const std::string& text) {
  // The log pane adds nothing between texts: the board sends its own line ends.
  Send('!', {text + "\r\n"});
}

void DemoBoard::Hear(std::string_view bytes) {
  for (const char byte : bytes) {
    if (byte == kEot) {
      const std::string reply = std::move(Heard);
      Heard.clear();
      OnReply(reply);
    } else {
      Heard += byte;
    }
  }
}

void DemoBoard::OnReply(std::string_view reply) {
  if (reply == kWidthReply) {
    DrawScreen();
  } else if (reply == std::string_view(&kAck, 1)) {
    // "Connect" on the panel: start over as after power-up.
    PowerUp();
  } else if (reply.size() == 15 && reply[0] == kBel && reply[1] == kEnq) {
    // The PC clock: YYMMDDhhmmss and the weekday, 0 = Monday.
    static constexpr std::string_view kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const std::string_view d = reply.substr(2);
    const int weekday = d[12] - '0';
    PcClock = "20" + std::string(d.substr(0, 2)) + "-" + std::string(d.substr(2, 2)) + "-" +
              std::string(d.substr(4, 2)) + " " + std::string(d.substr(6, 2)) + ":" +
              std::string(d.substr(8, 2)) + ":" + std::string(d.substr(10, 2)) +
              (weekday >= 0 && weekday <= 6 ? " " + std::string(kDays[weekday]) : std::string());
    if (ScreenDrawn) {
      PrintAt(kRowClock, PcClock);
    }
  } else if (reply.substr(0, kSetpointTag.size() + 1) == std::string(kSetpointTag) + kEnq) {
    // The operator's answer to our number prompt; empty when Cancel was pressed.
    const std::string_view value = reply.substr(kSetpointTag.size() + 1);
    if (value.empty()) {
      LogLine("Setpoint left at " + std::to_string(SetpointC) + " C");
    } else {
      // The panel lets only digits through and checks our limits.
      int entered = SetpointC;
      std::from_chars(value.data(), value.data() + value.size(), entered);
      SetpointC = entered;
      LogLine("Setpoint changed to " + std::to_string(SetpointC) + " C");
      ShowSetpoint();
    }
  } else if (reply == "INC") {
    ++Counter;
    ShowCount();
  } else if (reply == "ZERO") {
    Counter = 0;
    ShowCount();
  } else if (reply == "SET") {
    Send('T', {"New setpoint in degrees C", std::to_string(kSetpointMin), std::to_string(kSetpointMax),
               kSetpointTag});
  } else if (reply == "CLK") {
    Send('r');
  } else if (reply == "SAY") {
    Send('q', {"Hello from the Vexel demo board"});
  } else if (reply == "LOG") {
    ToggleDiskLog();
  } else {
    LogLine("The panel sent: " + std::string(reply));
  }
}

void DemoBoard::DrawScreen() {
  ScreenDrawn = true;
  Send('S');          // a clean screen: default colours, cursor home
  Send('U');          // none of the panel's default buttons
  Send('X', {"41"});  // show "Connect" and "Show trace" on the panel
  Send('L', {"0", "0", "0"});
  Send('K', {"210", "210", "210"});
  Send('R');
  // The colour stack: G saves the current pair on top. H drops the top and takes the pair
  // under it, so "G H" after any change brings back the pair saved here.
  Send('G');

  Send('K', {"255", "230", "0"});
  Send('L', {"0", "40", "140"});
  PrintAt(0, 0, "           VEXEL DEMO BOARD             ");
  RestoreColours();

  PrintAt(kRowTemperature, 1, "Temperature");
  PrintAt(kRowPressure, 1, "Pressure");
  PrintAt(kRowSetpoint, 1, "Setpoint");
  PrintAt(kRowCount, 1, "Count");
  PrintAt(kRowClock, 1, "PC clock");
  PrintAt(kRowDiskLog, 1, "Disk log");
  PrintAt(kRowLevel, 1, "Tank level");

  // Soft buttons: number, row, column, height, width, caption, flags, send text.
  // "R" makes a button repeat while it is held down.
  Send('O', {"1", "12", "1", "2", "12", "Count +", "R", "INC"});
  Send('O', {"2", "12", "14", "2", "12", "Zero", "", "ZERO"});
  Send('O', {"3", "12", "27", "2", "12", "Setpoint", "", "SET"});
  Send('O', {"4", "15", "1", "2", "12", "Clock", "", "CLK"});
  Send('O', {"5", "15", "14", "2", "12", "Notice", "", "SAY"});
  Send('O', {"6", "15", "27", "2", "12", "Disk log", "", "LOG"});

  Send('K', {"140", "140", "140"});
  Send('F', {"-0", "0"});  // the last whole row
  Send('@', {"Hold Count + to repeat. Connect redraws."});

  ShowValues();
  ShowSetpoint();
  ShowCount();
  ShowDiskLog();
  LogLine("Demo board ready");
  Send('r');  // ask the panel for the PC clock
}

void DemoBoard::RestoreColours() {
  Send('G');
  Send('H');
}

void DemoBoard::ShowValues() {
  PrintAt(kRowTemperature, Format("%5.1f C ", Temperature()));
  PrintAt(kRowPressure, Format("%6.3f bar ", Pressure()));

  // The bar graph is drawn in the current colours: the fill in the text colour.
  Send('K', {"255", "160", "0"});
  Send('L', {"60", "60", "60"});
  Send('Q', {std::to_string(kRowLevel), std::to_string(kValueColumn), "1", "20", Format("%.3f", Level())});
  RestoreColours();
}

void DemoBoard::ShowCount() {
  PrintAt(kRowCount, std::to_string(Counter) + "     ");
}

void DemoBoard::ShowSetpoint() {
  PrintAt(kRowSetpoint, std::to_string(SetpointC) + " C ");
}

void DemoBoard::ShowDiskLog() {
  const bool written = !PanelWritesLogs || PanelWritesLogs();
  DiskLogShown = !Logging  ? "off                        "
                 : written ? "on (demo-_yyMMdd_-nnnnn.log)"
                           : "not written: no log folder ";
  PrintAt(kRowDiskLog, DiskLogShown);
}

void DemoBoard::ToggleDiskLog() {
  Logging = !Logging;
  if (Logging) {
    // Mode 3: the file name carries the date and a sequence number. Z asks for a new file
    // at the next write, so every switch-on starts a fresh one.
    Send('Y', {"demo", "3"});
    if (LogOpened) {
      Send('Z', {"demo"});
    }
    LogOpened = true;
    Send('B', {"date,time,temperature,pressure"});
    Send('A');
  } else {
    Send('Y', {""});  // no file: B, C and D are ignored until the next Y
  }
  ShowDiskLog();
}

void DemoBoard::WriteLogRecord() {
  Send('D');  // yyMMdd
  Send('B', {","});
  Send('C');  // hhmmss
  Send('B', {Format(",%.1f", Temperature()) + Format(",%.3f", Pressure())});
  Send('A');
}

void DemoBoard::Tick() {
  ++Ticks;
  if (!ScreenDrawn) {
    return;
  }
  if (Ticks % 2 == 0) {
    ShowValues();
  }
  const bool above = Temperature() > SetpointC;
  if (above && !AboveSetpoint) {
    Send('p', {"Temperature above setpoint", "en", "GB", ""});
  } else if (!above && AboveSetpoint) {
    Send('q', {"Temperature back below setpoint"});
  }
  AboveSetpoint = above;
  if (Ticks % (5 * kTicksPerSecond) == 0) {
    LogLine(Format("%.1f C", Temperature()) + Format(", %.3f bar", Pressure()));
  }
  if (Logging && Ticks % (2 * kTicksPerSecond) == 0) {
    WriteLogRecord();
  }
  if (Logging && PanelWritesLogs && DiskLogShown.starts_with("on") != PanelWritesLogs()) {
    ShowDiskLog();  // the panel gave up (the folder picker was cancelled), or took up again
  }
  if (Ticks % (30 * kTicksPerSecond) == 0) {
    Send('r');
  }
}

double DemoBoard::Temperature() const {
  return 21.0 - 4.0 * Wave(Ticks, 40.0);
}

double DemoBoard::Pressure() const {
  return 1.013 + 0.05 * Wave(Ticks, 7.0);
}

double DemoBoard::Level() const {
  return (1.0 + Wave(Ticks, 12.0)) / 2.0;
}

}  // namespace korvani::demo
