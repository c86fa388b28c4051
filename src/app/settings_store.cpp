// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include <fstream>

#include "base/files.h"

namespace korvani::app {

namespace {

// One key=value file: where it is, and how its part is written and read back.
struct BesideFile {
  std::string (AppFolders::*Path)() const;
  std::optional<std::string> (*Format)(const SettingsBeside& settings);
  void (*Read)(std::string_view text, SettingsBeside& settings);
};

template <typename Value, typename Formatter>
std::optional<std::string> FormatPart(const std::optional<Value>& part, Formatter format) {
  return part ? std::optional<std::string>(format(*part)) : std::nullopt;
}

constexpr std::array<BesideFile, 4> kBesideFiles = {{
    {&AppFolders::LineSettingsFilePath,
     [](const SettingsBeside& s) { return FormatPart(s.Line, ports::FormatLineSettingsFile); },
     [](std::string_view text, SettingsBeside& s) {
       ports::LineSettingsRecord record;
       if (ports::ReadLineSettingsFile(text, record)) {
         s.Line = record;
       }
     }},
    {&AppFolders::RepeatsFilePath,
     [](const SettingsBeside& s) { return FormatPart(s.Repeats, terminal::FormatRepeatsFile); },
     [](std::string_view text, SettingsBeside& s) {
       std::array<terminal::TxRepeat, terminal::kTxLineCount> repeats;
       if (terminal::ReadRepeatsFile(text, repeats)) {
         s.Repeats = repeats;
       }
     }},
    {&AppFolders::ViewSettingsFilePath,
     [](const SettingsBeside& s) { return FormatPart(s.ViewKeeps, terminal::FormatViewSettingsFile); },
     [](std::string_view text, SettingsBeside& s) { s.ViewKeeps = terminal::ReadViewSettingsFile(text); }},
    {&AppFolders::OptionsFilePath,
     [](const SettingsBeside& s) { return FormatPart(s.Options, FormatOptionsFile); },
     // A key that is missing or not understood keeps its default.
     [](std::string_view text, SettingsBeside& s) { s.Options = ReadOptionsFile(text); }},
}};

}  // namespace

int SettingsStore::ReadSettingsFile(const SettingsLineSink& apply) const {
  std::ifstream file(base::Utf8Path(Folders.IniFilePath()), std::ios::binary);
  if (!file) {
    return 0;  // the first run: the defaults stand
  }
  return ReadSettings(file, apply);
}

bool SettingsStore::WriteSettingsFile(const SettingsValues& values) const {
  return app::WriteSettingsFile(Folders.IniFilePath(), values);
}

SettingsBeside SettingsStore::ReadBeside() const {
  SettingsBeside settings;
  for (const BesideFile& file : kBesideFiles) {
    file.Read(base::ReadWholeFile((Folders.*file.Path)()), settings);
  }
  return settings;
}

std::vector<std::string> SettingsStore::WriteBeside(const SettingsBeside& settings) const {
  std::vector<std::string> unsaved;
  for (const BesideFile& file : kBesideFiles) {
    const std::optional<std::string> text = file.Format(settings);
    const std::string path = (Folders.*file.Path)();
    if (text && !base::WriteFileAtomically(path, *text)) {
      unsaved.push_back(path);
    }
  }
  return unsaved;
}

}  // namespace korvani::app
