// SPDX-License-Identifier: GPL-3.0-or-later
// The line's settings as a serial terminal knows them: any speed, data bits 5 to 8, five
// parities, 1, 1.5 or 2 stop bits, flow control, and what the control lines do on open. The
// board's eight speeds and five character formats stay the quick choices; the settings file
// records the nearest of them, and a file of its own beside it records the rest.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvani::ports {

enum class FlowControl { None, RtsCts, XonXoff };

struct LineSettings {
  std::int32_t Baud = 38400;
  std::int16_t DataBits = 8;
  char Parity = 'N';           // N, E, O, M or S
  std::string StopBits = "1";  // "1", "1.5" or "2"
  FlowControl Flow = FlowControl::None;
  // DTR and RTS on open: raised, as ports usually do, or kept low, so a board whose reset
  // hangs on DTR does not reset when the panel connects.
  bool DtrOnOpen = true;
  bool RtsOnOpen = true;

  bool operator==(const LineSettings&) const = default;
};

// The choices a window offers for each part of the line, in the order it lists them: the
// value and its caption. A window shows these and reads the value back by position; it keeps
// no table of its own.
template <typename Value>
struct Choice {
  Value Of;
  std::string_view Caption;
};
struct LinesOnOpen {
  bool Dtr = true;
  bool Rts = true;
  bool operator==(const LinesOnOpen&) const = default;
};
inline constexpr std::array<Choice<std::int16_t>, 4> kDataBitsChoices = {
    {{5, "5"}, {6, "6"}, {7, "7"}, {8, "8"}}};
inline constexpr std::array<Choice<char>, 5> kParityChoices = {
    {{'N', "None"}, {'E', "Even"}, {'O', "Odd"}, {'M', "Mark"}, {'S', "Space"}}};
inline constexpr std::array<Choice<std::string_view>, 3> kStopBitsChoices = {
    {{"1", "1"}, {"1.5", "1.5"}, {"2", "2"}}};
inline constexpr std::array<Choice<FlowControl>, 3> kFlowChoices = {
    {{FlowControl::None, "None"}, {FlowControl::RtsCts, "RTS/CTS"}, {FlowControl::XonXoff, "XON/XOFF"}}};
inline constexpr std::array<Choice<LinesOnOpen>, 4> kLinesOnOpenChoices = {
    {{{true, true}, "Raise DTR and RTS"},
     {{false, false}, "Keep DTR and RTS low"},
     {{true, false}, "Raise DTR, keep RTS low"},
     {{false, true}, "Keep DTR low, raise RTS"}}};
// Where a value stands among its choices; -1 when it is none of them.
template <typename Value, std::size_t N, typename Wanted>
int ChoiceIndex(const std::array<Choice<Value>, N>& choices, const Wanted& wanted) {
  for (std::size_t i = 0; i < N; ++i) {
    if (choices[i].Of == wanted) {
      return static_cast<int>(i);
    }
  }
  return -1;
}
// The line with the choices at these positions of the lists above (the speed as it was).
LineSettings WithChoices(LineSettings line, int dataBits, int parity, int stopBits, int flow,
                         int linesOnOpen);
// The positions of the line's values in those lists, in the same order.
std::array<int, 5> ChoicePositions(const LineSettings& line);

// The quick choices: the board's eight speeds and five character formats, by option index.
inline constexpr std::array<std::int32_t, 8> kQuickBauds = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
struct QuickFormat {
  char Parity;
  std::int16_t DataBits;
};
inline constexpr std::array<QuickFormat, 5> kQuickFormats = {
    QuickFormat{'N', 8}, QuickFormat{'E', 7}, QuickFormat{'O', 7}, QuickFormat{'E', 8}, QuickFormat{'O', 8}};

// The speeds offered in the speed list; any other whole number can be typed.
inline constexpr std::array<std::int32_t, 31> kStandardBauds = {
    50,     75,      110,     134,     150,     200,     300,     600,     1200,   1800,   2400,
    4800,   9600,    14400,   19200,   38400,   57600,   115200,  230400,  460800, 500000, 576000,
    921600, 1000000, 1152000, 1500000, 2000000, 2500000, 3000000, 3500000, 4000000};
inline constexpr std::int32_t kLowestBaud = 1;
inline constexpr std::int32_t kHighestBaud = 100000000;

// A typed speed: a whole number from kLowestBaud to kHighestBaud, blanks around it allowed.
std::optional<std::int32_t> ParseBaud(std::string_view text);
// "8N1", "7E2", "8N1.5": data bits 5 to 8, parity letter N/E/O/M/S (either case), stop bits
// 1, 1.5 or 2. Sets those three in `line`; false (and `line` unchanged) when not such a text.
bool ParseFormat(std::string_view text, LineSettings& line);
// "none", "rtscts" or "xonxoff" (either case).
std::optional<FlowControl> ParseFlow(std::string_view text);
// The name --flow takes and the settings file holds.
std::string_view FlowName(FlowControl flow);
// "on" or "off" (either case), as --dtr and --rts take them.
std::optional<bool> ParseOnOff(std::string_view text);

// The line's settings given on the command line; each one given replaces the saved one.
struct LineOptions {
  std::optional<std::int32_t> Baud;
  std::optional<std::string> Format;  // as ParseFormat takes it
  std::optional<FlowControl> Flow;
  std::optional<bool> Dtr;
  std::optional<bool> Rts;
  [[nodiscard]] bool Any() const { return Baud || Format || Flow || Dtr || Rts; }
};
// Takes one of --baud, --format, --flow, --dtr, --rts with its value. Returns an empty text
// when taken, else the one-line message that names the option and the values it accepts.
std::string TakeLineOption(std::string_view option, std::string_view value, LineOptions& options);
void ApplyLineOptions(const LineOptions& options, LineSettings& line);

// "115200,N,8,1", the port's settings text, which the status bar shows.
std::string SettingsText(const LineSettings& line);
// What the status bar adds to the settings text for the flow control: nothing when it is
// off, else " RTS/CTS" or " XON/XOFF" ("COM5: 115200,N,8,1 RTS/CTS Open").
std::string_view FlowSuffix(FlowControl flow);

// The quick choice the line's speed or format is, or -1 when it is none of them.
std::int16_t QuickBaudIndex(std::int32_t baud);
std::int16_t QuickFormatIndex(const LineSettings& line);
// The nearest quick choice, for the settings file's speed and format lines.
std::int16_t NearestQuickBaudIndex(std::int32_t baud);
std::int16_t NearestQuickFormatIndex(const LineSettings& line);
// Sets the speed, or the format, of the quick choice.
void ApplyQuickBaud(LineSettings& line, std::int16_t index);
void ApplyQuickFormat(LineSettings& line, std::int16_t index);

// The second settings file: the line's settings as key=value lines, with the quick choices
// the 16-line file got when they were written, so a change made since by a reader of that
// file alone is noticed.
struct LineSettingsRecord {
  LineSettings Line;
  std::int16_t BaudIndexWritten = -1;
  std::int16_t FormatIndexWritten = -1;
};
std::string FormatLineSettingsFile(const LineSettingsRecord& record);
// False when the text is not a whole, valid record (a missing or damaged file).
bool ReadLineSettingsFile(std::string_view text, LineSettingsRecord& record);

}  // namespace korvani::ports
