// The settings file: 16 lines read at start-up and written when the window closes, plus
// the application's folders and the program's warning box.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "base/dialogs.h"

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

// Applies one line (1 to 16) of the file; returns false when the value cannot be taken.
using SettingsLineSink = std::function<bool(int line, std::string_view text)>;

// Reads the lines in order, applying each at once; stops at the first missing or refused one.
// Returns the number of lines applied.
int ReadSettings(std::istream& file, const SettingsLineSink& apply);
// The 16 lines, each ended by CR LF.
std::string FormatSettings(const SettingsValues& values);
// Applies one line to `values`: what the window does, for a reader without a window.
bool ApplySettingsLine(SettingsValues& values, int line, std::string_view text);

// A number line's value: lenient, rounded, and within 16 bits; false otherwise.
bool ReadSettingsNumber(std::string_view text, std::int16_t& value);
// A check value: 0 unticked, 1 (or 2, greyed) ticked; false for anything else.
bool ReadSettingsCheck(std::string_view text, bool& ticked);

class AppFolders {
 public:
  // `getEnv` reads an environment variable ("" when unset).
  explicit AppFolders(std::function<std::string(const char*)> getEnv);

  // APPDATA where it is set; elsewhere XDG_CONFIG_HOME, else ~/.config. Ends in a separator.
  [[nodiscard]] std::string AppFolder() const;
  [[nodiscard]] std::string IniFolder() const;
  [[nodiscard]] std::string IniFilePath() const;

 private:
  std::function<std::string(const char*)> GetEnv;
};

// The program's warning box with its varying titles, and folder creation that reports each
// feature's failure once.
class Problems {
 public:
  static constexpr std::array<std::string_view, 12> kTitles = {"All is not well",
                                                               "You have a problem",
                                                               "Don't panic but..",
                                                               "We have a problem, Housten!",
                                                               "Oops!",
                                                               "Hmm....",
                                                               "Oh dear!",
                                                               "A slight problem here",
                                                               "I hate to say this but ...",
                                                               "There's room for improvement here....",
                                                               "You ought to know that ...",
                                                               "No need for alarm. However ..."};

  // `random` gives numbers in [0, 1).
  Problems(base::Dialogs& dialogs, std::function<double()> random);

  void ShowProblem(std::string_view message);
  bool CreatePath(const std::string& path, const std::string& feature, const std::string& code);
  static bool FolderExists(const std::string& path);

  std::string ReportedPathFailures;

 private:
  void ReportPathFailure(const std::string& path, const std::string& feature, const std::string& code);

  base::Dialogs& Dialogs;
  std::function<double()> Random;
};

// Writes the settings beside the old file and renames it over, so an interrupted save never
// leaves a truncated file. False when it could not be written.
bool WriteSettingsFile(const std::string& path, const SettingsValues& values);

}  // namespace korvani::app
