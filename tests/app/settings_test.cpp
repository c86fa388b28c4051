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
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::app {
namespace {

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

SettingsValues Sample() {
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

// Each key=value file beside the settings file reads back what was written, alone (no file
// takes another's part), and a file that cannot be written is named.
TEST(SettingsStoreTest, EachFileBesideReadsBackItsPartAndAFailureNamesTheFile) {
  SettingsBeside full;
  terminal::LineSettings line;
  line.Baud = 250000;
  line.Parity = 'M';
  line.Flow = terminal::FlowControl::XonXoff;
  line.RtsOnOpen = false;
  full.Line = terminal::LineSettingsRecord{line, 4, 2};
  full.Repeats.emplace();
  full.Repeats->at(3) = terminal::TxRepeat{true, 250};
  full.ViewKeeps = terminal::Scrollback{5000, false};
  full.Options = ProgramOptions{false, terminal::LineEnd::CrLf,
                                ConsoleOptions{ConsoleEnter::Lf, ConsoleBackspace::Bs, true, 10, 250}};
  const std::array<std::function<void(SettingsBeside&, const SettingsBeside&)>, 4> parts = {
      [](SettingsBeside& to, const SettingsBeside& from) { to.Line = from.Line; },
      [](SettingsBeside& to, const SettingsBeside& from) { to.Repeats = from.Repeats; },
      [](SettingsBeside& to, const SettingsBeside& from) { to.ViewKeeps = from.ViewKeeps; },
      [](SettingsBeside& to, const SettingsBeside& from) { to.Options = from.Options; }};
  for (std::size_t part = 0; part < parts.size(); ++part) {
    SettingsFolder place;
    const SettingsStore store(place.Folders);
    SettingsBeside one;
    parts[part](one, full);
    EXPECT_TRUE(store.WriteBeside(one).empty()) << part;
    const SettingsBeside read = store.ReadBeside();
    EXPECT_EQ(read.Line.has_value(), part == 0);
    EXPECT_EQ(read.Repeats.has_value(), part == 1);
    EXPECT_EQ(read.ViewKeeps.has_value(), part == 2);
    EXPECT_EQ(read.Options.value_or(ProgramOptions{}) == *full.Options, part == 3);
  }
  SettingsFolder place;
  const SettingsStore store(place.Folders);
  ASSERT_TRUE(store.WriteBeside(full).empty());
  const SettingsBeside read = store.ReadBeside();
  ASSERT_TRUE(read.Line && read.Repeats && read.ViewKeeps);
  EXPECT_EQ(read.Line->Line, line);
  EXPECT_EQ(read.Line->BaudIndexWritten, 4);
  EXPECT_EQ(read.Line->FormatIndexWritten, 2);
  EXPECT_EQ(*read.Repeats, *full.Repeats);
  EXPECT_EQ(*read.ViewKeeps, *full.ViewKeeps);

  ASSERT_TRUE(store.WriteSettingsFile(Sample()));
  SettingsValues values;
  EXPECT_EQ(store.ReadSettingsFile(
                [&values](int at, std::string_view text) { return ApplySettingsLine(values, at, text); }),
            kSettingsLines);
  EXPECT_EQ(FormatSettings(values), FormatSettings(Sample()));

  std::filesystem::remove_all(place.Folders.IniFolder());
  place.Folder.Write("Korvani_by_Vexel/INIFile", "a file where the folder should be");
  EXPECT_EQ(
      store.WriteBeside(full),
      (std::vector<std::string>{place.Folders.LineSettingsFilePath(), place.Folders.RepeatsFilePath(),
                                place.Folders.ViewSettingsFilePath(), place.Folders.OptionsFilePath()}));
  EXPECT_FALSE(store.WriteSettingsFile(Sample()));
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
    panel.Connection().ChooseBaud(4);
    panel.LogFiles().SetLogFolder("/srv/logs");
    panel.Transmit().SetLine(2, "Hi'0D");
    panel.Transmit().SetLogSent(false);
    panel.Receive().LogSettings().LogHex = true;
    panel.SaveSettings();
  }
  fakes::FakePlatform fake;
  fake.Env = {{"APPDATA", folder.Path.string()}};
  fakes::FakePanelView view;
  Panel panel(fake.Get(), view);
  panel.FormLoad();
  EXPECT_EQ(panel.Connection().BaudIndex(), 4);
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
        panel.Connection().ChooseBaud(6);  // a later change keeps the port too
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

}  // namespace
}  // namespace korvani::app

namespace korvani::app {
namespace {

// A settings file damaged on disk never stops the start-up: what can be taken is taken,
// the rest keeps its default, and the next save writes a whole, readable file again.
TEST(PanelSettingsTest, DamagedFilesStartWithWhatCanBeTakenAndAreWrittenWholeAgain) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) {
    garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));  // every byte value, NUL and line ends too
  }
  const std::string longLine(200000, 'x');
  std::string longLines = " 3 \r\n 6 \r\n 1 \r\n";
  for (int line = 4; line <= 16; ++line) {
    longLines += (line >= 8 && line <= 10) || line == 16 ? " 0 \r\n" : longLine + "\r\n";
  }
  struct Case {
    const char* Name;
    std::string File;
    std::int16_t BaudIndex;  // -1: whatever the garbage reads as
    std::size_t TxLineLength;
  };
  const Case cases[] = {
      {"binary garbage", garbage, -1, 0},
      {"very long lines", longLines, 6, longLine.size()},
      {"only three lines", " 3 \r\n 2 \r\n 1 \r\n", 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SettingsFolder place;
    fakes::FakePlatform& fake = place.Fake;
    const AppFolders& folders = place.Folders;
    std::ofstream(folders.IniFilePath(), std::ios::binary) << c.File;

    fakes::FakePanelView view;
    Panel panel(fake.Get(), view);
    ASSERT_NO_THROW(panel.FormLoad());
    if (c.BaudIndex >= 0) {
      EXPECT_EQ(panel.Connection().BaudIndex(), c.BaudIndex);
      EXPECT_EQ(panel.CurrentSettings().TxLines[0].size(), c.TxLineLength);
    }
    panel.InjectTestText("'01@ok'03");  // and the panel works
    EXPECT_FALSE(panel.Link().IntroShowing());

    panel.SaveSettings();
    std::ifstream saved(folders.IniFilePath(), std::ios::binary);
    SettingsValues again;
    EXPECT_EQ(
        ReadSettings(saved,
                     [&](int line, std::string_view text) { return ApplySettingsLine(again, line, text); }),
        kSettingsLines);
    EXPECT_EQ(FormatSettings(again), FormatSettings(panel.CurrentSettings()));
  }
}

// The 16-line file and the line settings file beside it, read in every combination a user's
// disk can hold: an old file alone, a pair Korvani wrote, a pair whose second file is gone or
// damaged, and a pair whose speed line an older program changed since.
TEST(PanelSettingsTest, TheLineSettingsFileAddsToTheSixteenLinesOnlyWhileTheyStillMatch) {
  const std::string pair =
      "baud=250000\ndata_bits=8\nparity=N\nstop_bits=2\nflow=rtscts\n"
      "dtr_on_open=off\nrts_on_open=on\nquick_baud=7\nquick_format=0\n";
  struct Case {
    const char* Name;
    std::int16_t BaudLine;
    std::optional<std::string> LineFile;
    const char* PortSettings;
    terminal::FlowControl Flow;
    bool DtrOnOpen;
  };
  const Case cases[] = {
      {"an old file alone", 5, std::nullopt, "9600,N,8,1", terminal::FlowControl::None, true},
      {"the pair as written", 7, pair, "250000,N,8,2", terminal::FlowControl::RtsCts, false},
      {"the second file gone", 7, std::nullopt, "38400,N,8,1", terminal::FlowControl::None, true},
      {"the second file damaged", 7, pair.substr(0, 40), "38400,N,8,1", terminal::FlowControl::None, true},
      {"the speed line changed since", 5, pair, "9600,N,8,1", terminal::FlowControl::None, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SettingsFolder place;
    fakes::FakePlatform& fake = place.Fake;
    const AppFolders& folders = place.Folders;
    SettingsValues values;
    values.ComPortNumber = 3;
    values.BaudIndex = c.BaudLine;
    std::ofstream(folders.IniFilePath(), std::ios::binary) << FormatSettings(values);
    if (c.LineFile) {
      std::ofstream(folders.LineSettingsFilePath(), std::ios::binary) << *c.LineFile;
    }
    fake.Devices.Names = {"Board (COM3)"};
    fakes::FakePanelView view;
    Panel panel(fake.Get(), view);
    panel.FormLoad();
    EXPECT_TRUE(fake.Port.Open);
    EXPECT_EQ(terminal::SettingsText(fake.Port.Given), c.PortSettings);
    EXPECT_EQ(fake.Port.Given.Flow, c.Flow);
    EXPECT_EQ(fake.Port.Given.DtrOnOpen, c.DtrOnOpen);

    // Saved again, the 16 lines hold the nearest quick choices and the pair reads back whole.
    panel.SaveSettings();
    SettingsValues saved;
    std::ifstream file(folders.IniFilePath(), std::ios::binary);
    ReadSettings(file, [&](int line, std::string_view text) { return ApplySettingsLine(saved, line, text); });
    EXPECT_EQ(saved.BaudIndex, terminal::NearestQuickBaudIndex(panel.Connection().Line().Baud));
    terminal::LineSettingsRecord record;
    ASSERT_TRUE(terminal::ReadLineSettingsFile(base::ReadWholeFile(folders.LineSettingsFilePath()), record));
    EXPECT_EQ(record.Line, panel.Connection().Line());
    EXPECT_EQ(record.BaudIndexWritten, saved.BaudIndex);
  }
}

// What the receive view keeps: the saved choice, the command line's over it, the default when
// the file is missing or damaged; a choice on the Settings tab takes effect at once and is
// saved; a text that is no choice changes nothing.
TEST(PanelSettingsTest, WhatTheReceiveViewKeepsIsSavedAndTheCommandLineComesFirst) {
  struct Case {
    const char* Name;
    std::optional<std::string> File;
    std::optional<terminal::Scrollback> CommandLine;
    terminal::Scrollback Expected;
  };
  const Case cases[] = {
      {"no file", std::nullopt, std::nullopt, {1000000, false}},
      {"saved", "scrollback=20,000 characters\n", std::nullopt, {20000, true}},
      {"damaged", "scrollback=12 lines\n", std::nullopt, {1000000, false}},
      {"the command line's", "scrollback=10,000 lines\n", terminal::Scrollback{5000}, {5000, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SettingsFolder place;
    fakes::FakePlatform& fake = place.Fake;
    const AppFolders& folders = place.Folders;
    if (c.File) {
      std::ofstream(folders.ViewSettingsFilePath(), std::ios::binary) << *c.File;
    }
    fakes::FakePanelView view;
    Panel panel(fake.Get(), view);
    panel.SetCommandLineScrollback(c.CommandLine);
    panel.Controls().SetTerminalMode(true);  // /T: the view can be seen
    panel.FormLoad();
    EXPECT_EQ(view.ScrollbackShown, c.Expected);
    EXPECT_EQ(panel.Receive().History().CurrentLimits().Bytes, c.Expected.Limits().Bytes);

    EXPECT_FALSE(panel.ChooseScrollback("lots"));
    EXPECT_EQ(view.ScrollbackShown, c.Expected);
    EXPECT_TRUE(panel.ChooseScrollback(" 250,000 lines"));
    EXPECT_EQ(panel.Receive().History().CurrentLimits().Lines, 250000U);
    panel.SaveSettings();
    EXPECT_EQ(terminal::ReadViewSettingsFile(base::ReadWholeFile(folders.ViewSettingsFilePath())),
              terminal::Scrollback{250000});
  }

  // Without /T nobody can see the view: it keeps the pane's 20,000 characters, not a history
  // of up to 160 MB, until the board makes the terminal functions available.
  SettingsFolder place;
  fakes::FakePanelView view;
  Panel panel(place.Fake.Get(), view);
  panel.FormLoad();
  EXPECT_EQ(panel.Receive().History().CurrentLimits().Bytes, 20000U);
  panel.Link().Receive("\x01X81\x03");
  EXPECT_EQ(panel.Receive().History().CurrentLimits().Lines, 1000000U);
  panel.Link().Receive("\x01X1\x03");
  EXPECT_EQ(panel.Receive().History().CurrentLimits().Bytes, 20000U);
}

// The version check: once at a default start, never when the box is unticked (saved for the
// next start) or --no-update-check is given; the line end chosen for sent lines and the
// console's choices are kept too, a value not understood leaving its default.
TEST(PanelSettingsTest, TheVersionCheckRunsOnceUnlessTurnedOffAndTheChoiceIsKept) {
  const struct {
    const char* Name;
    std::optional<std::string> File;
    bool CommandLineOff;
    std::size_t Requests;
  } cases[] = {{"default", std::nullopt, false, 1},
               {"off in the file",
                "update-check=off\ntx-line-end=crlf\nconsole-enter=crlf\nconsole-backspace=bs\n"
                "console-echo=on\npaste-char-ms=5\npaste-line-ms=1000\n",
                false, 0},
               {"--no-update-check", std::nullopt, true, 0},
               {"damaged",
                "update-check=maybe\ntx-line-end=tab\nconsole-enter=tab\nconsole-backspace=\n"
                "paste-char-ms=1001\npaste-line-ms=-5\n",
                false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    SettingsFolder place;
    if (c.File) {
      std::ofstream(place.Folders.OptionsFilePath(), std::ios::binary) << *c.File;
    }
    fakes::FakePanelView view;
    {
      Panel panel(place.Fake.Get(), view);
      if (c.CommandLineOff) {
        panel.SetCommandLineNoUpdateCheck();
      }
      panel.FormLoad();
      EXPECT_EQ(place.Fake.Requests.size(), c.Requests);
      EXPECT_EQ(view.Checks[static_cast<std::size_t>(SettingsCheck::UpdateCheck)], c.Requests == 1);
      panel.SaveSettings();
    }
    const ProgramOptions saved = ReadOptionsFile(base::ReadWholeFile(place.Folders.OptionsFilePath()));
    EXPECT_EQ(saved.UpdateCheck, c.Requests == 1);
    EXPECT_EQ(saved.TxLineEnd,
              c.Name == std::string("off in the file") ? terminal::LineEnd::CrLf : terminal::LineEnd::None);
    EXPECT_EQ(view.LineEndShown, saved.TxLineEnd);
    const ConsoleOptions console =
        c.Name == std::string("off in the file")
            ? ConsoleOptions{ConsoleEnter::CrLf, ConsoleBackspace::Bs, true, 5, 1000}
            : ConsoleOptions{};
    EXPECT_EQ(saved.Console, console);
    EXPECT_EQ(view.ConsoleShown, console);
  }
}

}  // namespace
}  // namespace korvani::app
