// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: 16 lines read at start-up and written when the window closes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "terminal/transmit_lines.h"

namespace korvani::app {

// What the file holds, in its order.
struct SettingsValues {
  std::int16_t ComPortNumber = 0;
  std::int16_t BaudIndex = 7;
  std::int16_t CharIndex = 0;
  std::string LogFolder;
  std::string TraceFileName = "HMI_tracefile.txt";
  std::string AsciiLogFileName = "ASCII_logfile.log";
  std::string HexLogFileName = "Hex_logfile.log";
  bool TraceToDisk = false;
  bool LogAscii = false;
  bool LogHex = false;
  std::array<std::string, 5> TxLines;
  bool LogSent = false;
  // The folder and file names (lines 4 to 7) were read in the ANSI code page, as the earlier
  // Windows program wrote them; they are written back so, where they can be.
  bool NamesInAnsi = false;
};

inline constexpr int kSettingsLines = 16;
// The lines of the files a session writes under its own names: the trace, the two logs.
inline constexpr std::array<int, 3> kFileNameLines = {5, 6, 7};

// The console's choices: what Enter and Backspace send, whether typed keys are shown as well
// (for a board that does not echo), and the pauses a paste makes for a slow board.
enum class ConsoleEnter { Cr, Lf, CrLf };
enum class ConsoleBackspace { Del, Bs };
inline constexpr int kMostPasteDelayMs = 1000;
struct ConsoleOptions {
  ConsoleEnter Enter = ConsoleEnter::Cr;
  ConsoleBackspace Backspace = ConsoleBackspace::Del;
  bool LocalEcho = false;
  int PasteCharMs = 0;  // after each character pasted, 0 to kMostPasteDelayMs
  int PasteLineMs = 0;  // after each line pasted, besides
  bool operator==(const ConsoleOptions&) const = default;
};

// The Script tab's: whether scripts may start programs, and the last scripts used.
inline constexpr std::size_t kRecentScripts = 10;
struct ScriptChoices {
  bool RunPrograms = false;         // os.execute and io.popen
  std::vector<std::string> Recent;  // newest first, at most kRecentScripts
  bool operator==(const ScriptChoices&) const = default;
};
// The script at `path` first in the list, once.
void RememberScript(ScriptChoices& choices, const std::string& path);

// The program's own choices kept beside the settings file (Options.ini, key=value): whether
// the version check runs at start, what ends every sent Tx line, the console's and the
// scripts' choices.
struct ProgramOptions {
  bool UpdateCheck = true;
  terminal::LineEnd TxLineEnd = terminal::LineEnd::None;
  ConsoleOptions Console;
  ScriptChoices Scripts;
  bool operator==(const ProgramOptions&) const = default;
};
std::string FormatOptionsFile(const ProgramOptions& options);
// A key that is missing or not understood keeps its default.
ProgramOptions ReadOptionsFile(std::string_view text);

// Applies one line (1 to 16) of the file; returns false when the value cannot be taken.
using SettingsLineSink = std::function<bool(int line, std::string_view text)>;

// Reads the lines in order, applying each at once; stops at the first missing or refused one.
// Returns the number of lines applied.
int ReadSettings(std::istream& file, const SettingsLineSink& apply);
// The 16 lines, each ended by CR LF.
std::string FormatSettings(const SettingsValues& values);
// Applies one line to `values`: what the window does, for a reader without a window.
bool ApplySettingsLine(SettingsValues& values, int line, std::string_view text);
// One line of `values` taken by a session (and shown in its window); and every line as a
// session has it now. The file's lines are one table, which these and the two above walk.
class Session;
void ApplySettingToSession(Session& session, int line, const SettingsValues& values);
SettingsValues SessionSettings(Session& session);

// A number line's value: lenient, rounded, and within 16 bits; false otherwise.
bool ReadSettingsNumber(std::string_view text, std::int16_t& value);
// A check value: 0 unticked, 1 (or 2, greyed) ticked; false for anything else.
bool ReadSettingsCheck(std::string_view text, bool& ticked);

// Writes the settings beside the old file and renames it over, so an interrupted save never
// leaves a truncated file. False when it could not be written.
bool WriteSettingsFile(const std::string& path, const SettingsValues& values);

}  // namespace korvani::app
