// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"
#include "app/app_folders.h"
#include "app/problems.h"
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "app/panel.h"
#include "app/settings_folder.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::app {
namespace {

SettingsValues Read(const std::string& text, int* applied = nullptr) {
  SettingsValues values;
  std::istringstream file(text);
  const int count = ReadSettings(
      file, [&](int line, std::string_view value) { return ApplySettingsLine(values, line, value); });
  if (applied != nullptr) {
    *applied = count;
  }
  return values;
}

TEST(SettingsFileTest, NumbersCarryALeadingAndATrailingSpace) {
  const std::string text = FormatSettings(Sample());
  EXPECT_EQ(text.substr(0, 16), " 33 \r\n 5 \r\n 3 \r\n");
  EXPECT_NE(text.find("\r\n 1 \r\n 0 \r\n 1 \r\nHello'0D '0A\r\n"), std::string::npos);
  SettingsValues negative;
  negative.ComPortNumber = -4;
  EXPECT_EQ(FormatSettings(negative).substr(0, 5), "-4 \r\n");
}

TEST(SettingsFileTest, AllSixteenValuesSurviveASaveAndALoad) {
  int applied = 0;
  const SettingsValues back = Read(FormatSettings(Sample()), &applied);
  EXPECT_EQ(applied, 16);
  EXPECT_EQ(FormatSettings(back), FormatSettings(Sample()));
}

TEST(SettingsFileTest, ShortFileRestoresWhatItHas) {
  int applied = 0;
  const SettingsValues values = Read(" 7 \r\n 4 \r\n 2 \r\n/logs\r\n", &applied);
  EXPECT_EQ(applied, 4);
  EXPECT_EQ(values.ComPortNumber, 7);
  EXPECT_EQ(values.CharIndex, 2);
  EXPECT_EQ(values.LogFolder, "/logs");
  EXPECT_EQ(values.TraceFileName, "HMI_tracefile.txt");
}

TEST(SettingsFileTest, ReadingStopsAtTheFirstValueThatCannotBeTaken) {
  int applied = 0;
  SettingsValues values = Read(" 7 \r\n 9 \r\n 2 \r\n/logs\r\n", &applied);  // no baud option 9
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(values.ComPortNumber, 7);
  EXPECT_EQ(values.BaudIndex, 7);
  EXPECT_EQ(values.CharIndex, 0);
  values =
      Read(std::string(" 1 \r\n 1 \r\n 1 \r\na\r\nb\r\nc\r\nd\r\n 5 \r\n"), &applied);  // a check value of 5
  EXPECT_EQ(applied, 7);
  Read("\x01\xff garbage\n\n\n", &applied);
  EXPECT_EQ(applied, 3);  // garbage reads as 0 on line 1; empty lines 2 and 3 read as 0 too
  Read(std::string(100000, 'x'), &applied);
  EXPECT_EQ(applied, 1);
}

TEST(SettingsFileTest, SavingReplacesTheFileWhole) {
  fakes::TempFolder folder;
  folder.Write("Vexel32.INI", "old content that is longer than it needs to be");
  ASSERT_TRUE(WriteSettingsFile(folder.File("Vexel32.INI"), Sample()));
  EXPECT_EQ(folder.Read("Vexel32.INI"), FormatSettings(Sample()));
  EXPECT_FALSE(folder.Exists("Vexel32.INI.new"));
  EXPECT_FALSE(WriteSettingsFile(folder.File("missing/Vexel32.INI"), Sample()));
}

TEST(AppFoldersTest, ApplicationDataOrTheUsersConfigurationFolder) {
  std::map<std::string, std::string> env{{"APPDATA", "C:\\Users\\op\\AppData\\Roaming"}};
  const AppFolders folders([&env](const char* name) { return env[name]; });
  const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
  EXPECT_EQ(folders.AppFolder(), "C:\\Users\\op\\AppData\\Roaming" + sep + "Korvani_by_Vexel" + sep);
  env = {{"XDG_CONFIG_HOME", "/home/op/.cfg/"}, {"HOME", "/home/op"}};
  EXPECT_EQ(folders.IniFilePath(), "/home/op/.cfg/Korvani_by_Vexel" + sep + "INIFile" + sep + "Vexel32.INI");
  env = {{"HOME", "/home/op"}};
  EXPECT_EQ(folders.IniFolder(),
            "/home/op" + sep + ".config" + sep + "Korvani_by_Vexel" + sep + "INIFile" + sep);
}

TEST(ProblemsTest, CreatesMissingLevelsAndReportsEachFeatureOnce) {
  fakes::TempFolder folder;
  fakes::FakeDialogs dialogs;
  Problems problems(dialogs, [] { return 0.0; });
  EXPECT_TRUE(problems.CreatePath(folder.File("one/two/"), "INI file", "100201-2"));
  EXPECT_TRUE(Problems::FolderExists(folder.File("one/two")));

  folder.Write("blocker", "a file where a folder should be");
  EXPECT_FALSE(problems.CreatePath(folder.File("blocker/sub"), "INI file", "100201-2"));
  EXPECT_FALSE(problems.CreatePath(folder.File("blocker/other"), "INI file", "100201-2"));
  ASSERT_EQ(dialogs.Boxes.size(), 1U);
  EXPECT_EQ(dialogs.Boxes[0].Title, "Path creation error");
  EXPECT_EQ(dialogs.Boxes[0].Text.rfind(
                "Unable to create a folder " + folder.File("blocker/sub") + "\r\nfor INI file.", 0),
            0U);
  EXPECT_FALSE(problems.CreatePath("nofolder", "trace", "1"));  // no separator at all
  EXPECT_EQ(dialogs.Boxes.size(), 2U);
}

TEST(ProblemsTest, EveryTitleCanAppearAndNoOther) {
  fakes::FakeDialogs dialogs;
  double next = 0;
  Problems problems(dialogs, [&next] {
    const double value = next;
    next += 1.0 / 24;
    return value;
  });
  std::set<std::string> titles;
  for (int i = 0; i < 24; ++i) {
    problems.ShowProblem("message");
    titles.insert(dialogs.Boxes.back().Title);
  }
  EXPECT_EQ(titles, std::set<std::string>(Problems::kTitles.begin(), Problems::kTitles.end()));
  EXPECT_EQ(dialogs.Beeps, 24);
  EXPECT_EQ(dialogs.Boxes.back().Icon, base::MessageIcon::Exclamation);
}

TEST(PanelSettingsTest, ClosingAndStartingAgainBringsEverythingBack) {
  fakes::TempFolder folder;
  {
    fakes::FakePlatform fake;
    fake.Env = {{"APPDATA", folder.Path.string()}};
    fakes::FakePanelView view;
    Panel panel(fake.Get(), view);
    panel.FormLoad();
    panel.Current().Connection().ChooseBaud(4);
    panel.Current().LogFiles().SetLogFolder("/srv/logs");
    panel.Current().Transmit().SetLine(2, "Hi'0D");
    panel.Current().Transmit().SetLogSent(false);
    panel.Current().Receive().LogSettings().LogHex = true;
    panel.SaveSettings();
  }
  fakes::FakePlatform fake;
  fake.Env = {{"APPDATA", folder.Path.string()}};
  fakes::FakePanelView view;
  Panel panel(fake.Get(), view);
  panel.FormLoad();
  EXPECT_EQ(panel.Current().Connection().BaudIndex(), 4);
  EXPECT_EQ(view.BaudOption, 4);
  EXPECT_EQ(view.LogFolder, "/srv/logs");
  EXPECT_EQ(view.TxLines[2], "Hi'0D");
  EXPECT_FALSE(view.Checks[static_cast<std::size_t>(SettingsCheck::LogSent)]);
  EXPECT_TRUE(view.Checks[static_cast<std::size_t>(SettingsCheck::LogHex)]);
  EXPECT_EQ(panel.CurrentSettings().TxLines[2], "Hi'0D");

  // A settings file beside it that cannot be written is told, once, by its name.
  const std::string lineFile = panel.Folders().LineSettingsFilePath();
  std::filesystem::remove(lineFile);
  std::filesystem::create_directory(lineFile);
  const std::size_t boxes = fake.Dialogs.Boxes.size();
  panel.SaveSettings();
  ASSERT_EQ(fake.Dialogs.Boxes.size(), boxes + 1);
  EXPECT_NE(fake.Dialogs.Boxes.back().Text.find("Unable to save these settings"), std::string::npos);
  EXPECT_NE(fake.Dialogs.Boxes.back().Text.find(lineFile), std::string::npos);
  EXPECT_EQ(fake.Dialogs.Boxes.back().Text.find("Repeat"), std::string::npos) << "only what failed";
}

// Names written by the earlier Windows program are in the ANSI code page: they read as the
// characters they are, and the file is written back so that it reads the same again.
TEST(PanelSettingsTest, AnsiNamesReadAsTheirCharactersAndAreWrittenBackTheSame) {
  const struct {
    const char* OnDisk;
    const char* Shown;
  } cases[] = {{"C:\\Daten\\M\xFCller", "C:\\Daten\\M\xC3\xBCller"},
               {"\x80uro \x96 caf\xE9", "\xE2\x82\xACuro \xE2\x80\x93 caf\xC3\xA9"},
               {"caf\xC3\xA9", "caf\xC3\xA9"},  // UTF-8 stays UTF-8
               {"logs", "logs"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Shown);
    SettingsFolder place;
    fakes::FakePlatform& fake = place.Fake;
    const AppFolders& folders = place.Folders;
    SettingsValues original;
    original.LogFolder = c.OnDisk;
    original.TraceFileName = std::string(c.OnDisk) + ".txt";
    std::ofstream(folders.IniFilePath(), std::ios::binary) << FormatSettings(original);
    {
      fakes::FakePanelView view;
      Panel panel(fake.Get(), view);
      panel.FormLoad();
      EXPECT_EQ(view.LogFolder, c.Shown);
      EXPECT_EQ(panel.CurrentSettings().TraceFileName, std::string(c.Shown) + ".txt");
      panel.SaveSettings();
    }
    std::ifstream saved(folders.IniFilePath(), std::ios::binary);
    const std::string again((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(again, FormatSettings(original));
  }
}

// The port saved on line 1 is the one start-up selects and opens among several, whatever
// the speed and format lines hold, and it is saved again at exit. When it is not listed,
// the only port there is stands in for it; among several, none does.
TEST(PanelSettingsTest, TheSavedPortIsOpenedAmongSeveralAndSavedAgain) {
  const std::vector<std::string> three = {"Communications Port (COM1)", "USB Serial Port (COM2)",
                                          "USB Serial Port (COM3)"};
  const struct {
    const char* File;
    std::vector<std::string> Ports;
    const char* Shown;
    const char* Status;  // "" when it stays closed
    const char* Saved;
  } cases[] = {
      {" 2 \r\n 5 \r\n 1 \r\n", three, "USB Serial Port (COM2)", "COM2: 9600,E,7,1 Open", " 2 \r"},
      {" 2 \r\n 7 \r\n 0 \r\n", three, "USB Serial Port (COM2)", "COM2: 38400,N,8,1 Open", " 2 \r"},
      {" 2 \r\n", three, "USB Serial Port (COM2)", "COM2: 38400,N,8,1 Open", " 2 \r"},
      {" 7 \r\n 5 \r\n", three, "(Select COM port)", "", " 7 \r"},  // unplugged: kept for next time
      {" 7 \r\n 5 \r\n",
       {"USB Serial Port (COM3)"},
       "USB Serial Port (COM3)",
       "COM3: 9600,N,8,1 Open",
       " 3 \r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.File + std::string(" with ") + std::to_string(c.Ports.size()) + " ports");
    SettingsFolder place;
    fakes::FakePlatform& fake = place.Fake;
    const AppFolders& folders = place.Folders;
    fake.Devices.Names = c.Ports;
    fake.Port.RefuseOpen = *c.Status == '\0';  // the saved adapter is not plugged in
    std::ofstream(folders.IniFilePath(), std::ios::binary) << c.File;
    {
      fakes::FakePanelView view;
      view.OpenDown = true;  // as the user left it
      Panel panel(fake.Get(), view);
      panel.FormLoad();
      EXPECT_EQ(view.ComPortShown, c.Shown);
      EXPECT_EQ(fake.Port.Open, *c.Status != '\0');
      EXPECT_EQ(fake.Port.PortNumber(), std::stoi(c.Saved));  // the port tried
      if (*c.Status != '\0') {
        EXPECT_EQ(view.PortStatus, c.Status);
        panel.Current().Connection().ChooseBaud(6);  // a later change keeps the port too
        const std::string status(c.Status);
        EXPECT_EQ(view.PortStatus,
                  status.substr(0, status.find(' ') + 1) + "19200" + status.substr(status.find(',')));
      }
      panel.SaveSettings();
    }
    std::ifstream saved(folders.IniFilePath(), std::ios::binary);
    std::string first;
    std::getline(saved, first);
    EXPECT_EQ(first, c.Saved);
  }
}

// The Script tab's list: the newest first, each script once, the last ten.
TEST(ScriptChoicesTest, TheLastTenScriptsNewestFirstEachOnce) {
  ScriptChoices choices;
  for (int i = 1; i <= 12; ++i) {
    RememberScript(choices, std::to_string(i) + ".lua");
  }
  RememberScript(choices, "5.lua");
  ASSERT_EQ(choices.Recent.size(), kRecentScripts);
  EXPECT_EQ(choices.Recent[0], "5.lua");
  EXPECT_EQ(choices.Recent[1], "12.lua");
  EXPECT_EQ(choices.Recent.back(), "3.lua") << "1 and 2 fell off; 5 moved, so 3 stays";
  EXPECT_EQ(std::count(choices.Recent.begin(), choices.Recent.end(), "5.lua"), 1);
}

}  // namespace
}  // namespace korvani::app
