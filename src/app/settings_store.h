// SPDX-License-Identifier: GPL-3.0-or-later
// Where the settings live and how each of their files is read and written: the 16-line
// settings file, which keeps its meaning for every program that reads it, and the key=value
// files beside it, one entry of a table each. The panel decides when (start-up, closing) and
// tells the user what could not be written.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/app_folders.h"
#include "app/settings.h"
#include "ports/line_settings.h"
#include "terminal/scrollback.h"
#include "terminal/transmit_lines.h"

namespace korvani::app {

// What the key=value files hold; a file that is missing or damaged leaves its part empty.
struct SettingsBeside {
  std::optional<ports::LineSettingsRecord> Line;                                  // LineSettings.ini
  std::optional<std::array<terminal::TxRepeat, terminal::kTxLineCount>> Repeats;  // TxRepeat.ini
  std::optional<terminal::Scrollback> ViewKeeps;                                  // ReceiveView.ini
  std::optional<ProgramOptions> Options;                                          // Options.ini
};

class SettingsStore {
 public:
  explicit SettingsStore(const AppFolders& folders) : Folders(folders) {}

  // The 16-line file, each line handed to `apply` in order until one is refused; the number
  // of lines applied (0 when there is no file: the first run).
  int ReadSettingsFile(const SettingsLineSink& apply) const;
  // Written beside the old file and renamed over it; false when it could not be written.
  [[nodiscard]] bool WriteSettingsFile(const SettingsValues& values) const;

  [[nodiscard]] SettingsBeside ReadBeside() const;
  // Writes each part that is there; the paths of the files that could not be written.
  [[nodiscard]] std::vector<std::string> WriteBeside(const SettingsBeside& settings) const;

 private:
  const AppFolders& Folders;
};

}  // namespace korvani::app
