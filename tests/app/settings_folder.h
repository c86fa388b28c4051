// SPDX-License-Identifier: GPL-3.0-or-later
// A platform whose settings live in a new temporary folder, and a whole sample of the 16
// lines: the settings tests' fixture.
#pragma once

#include <filesystem>

#include "app/app_folders.h"
#include "app/settings.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::app {

// A platform whose settings folder is a new temporary one, already made.
struct SettingsFolder {
  SettingsFolder() {
    Fake.Env = {{"APPDATA", Folder.Path.string()}};
    std::filesystem::create_directories(Folders.IniFolder());
  }
  fakes::TempFolder Folder;
  fakes::FakePlatform Fake;
  AppFolders Folders{Fake.Get().GetEnv};
};

inline SettingsValues Sample() {
  SettingsValues values;
  values.ComPortNumber = 33;
  values.BaudIndex = 5;
  values.CharIndex = 3;
  values.LogFolder = "/home/op/logs";
  values.TraceFileName = "trace.txt";
  values.AsciiLogFileName = "a.log";
  values.HexLogFileName = "h.log";
  values.TraceToDisk = true;
  values.LogAscii = false;
  values.LogHex = true;
  values.TxLines = {"Hello'0D '0A", "", "x;comment", "'01S'03", "last"};
  values.LogSent = true;
  return values;
}

}  // namespace korvani::app
