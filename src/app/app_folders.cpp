// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_folders.h"

#include <filesystem>

#include "base/files.h"

namespace korvani::app {

namespace {
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
}  // namespace

AppFolders::AppFolders(std::function<std::string(const char*)> getEnv) : GetEnv(std::move(getEnv)) {}

std::string AppFolders::AppFolder() const {
  std::string base = GetEnv("APPDATA");
  if (base.empty()) {
    base = GetEnv("XDG_CONFIG_HOME");
  }
  if (base.empty()) {
    base = GetEnv("HOME") + kSeparator + ".config";
  }
  if (!base::IsPathSeparator(base.back())) {
    base += kSeparator;
  }
  return base + "Korvani_by_Vexel" + kSeparator;
}

std::string AppFolders::IniFolder() const {
  return AppFolder() + "INIFile" + kSeparator;
}

// "Port-COM7", not "COM7": COM1 to COM9 are device names on Windows, where no folder may
// have them.
void AppFolders::SetPortFolder(std::int16_t comNumber) {
  PortFolder = std::string("Ports") + kSeparator + "Port-COM" + std::to_string(comNumber) + kSeparator;
}

std::string AppFolders::IniFilePath() const {
  return SessionFolder() + "Vexel32.INI";
}

std::string AppFolders::LineSettingsFilePath() const {
  return SessionFolder() + "LineSettings.ini";
}

std::string AppFolders::RepeatsFilePath() const {
  return SessionFolder() + "TxRepeat.ini";
}

std::string AppFolders::PortIdentitiesFilePath() const {
  return IniFolder() + "PortIdentities.ini";
}

std::string AppFolders::NetworkPortsFilePath() const {
  return IniFolder() + "NetworkPorts.ini";
}

std::string AppFolders::ViewSettingsFilePath() const {
  return SessionFolder() + "ReceiveView.ini";
}

std::string AppFolders::OptionsFilePath() const {
  return IniFolder() + "Options.ini";
}

}  // namespace korvani::app
