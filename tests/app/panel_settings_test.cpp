// SPDX-License-Identifier: GPL-3.0-or-later
// The settings files beside the 16-line file, through the store and through the panel's
// start-up and shut-down: what each keeps, what a damaged one gives, and the command line
// over them.
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/panel.h"
#include "app/settings_folder.h"
#include "app/version.h"
#include "base/files.h"
#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::app {
namespace {

// Each key=value file beside the settings file reads back what was written, alone (no file
// takes another's part), and a file that cannot be written is named.
TEST(SettingsStoreTest, EachFileBesideReadsBackItsPartAndAFailureNamesTheFile) {
  SettingsBeside full;
  ports::LineSettings line;
  line.Baud = 250000;
  line.Parity = 'M';
  line.Flow = ports::FlowControl::XonXoff;
  line.RtsOnOpen = false;
  full.Line = ports::LineSettingsRecord{line, 4, 2};
  full.Repeats.emplace();
  full.Repeats->at(3) = terminal::TxRepeat{true, 250};
  full.ViewKeeps = terminal::Scrollback{5000, false};
  full.Options = ProgramOptions{false, terminal::LineEnd::CrLf,
                                ConsoleOptions{ConsoleEnter::Lf, ConsoleBackspace::Bs, true, 10, 250},
                                ScriptChoices{true, {"/lab/check board.lua", "reset.lua", "a=b.lua"}}};
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
      EXPECT_EQ(panel.Current().Connection().BaudIndex(), c.BaudIndex);
      EXPECT_EQ(panel.CurrentSettings().TxLines[0].size(), c.TxLineLength);
    }
    panel.Current().InjectTestText("'01@ok'03");  // and the panel works
    EXPECT_FALSE(panel.Current().Link().IntroShowing());

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
    ports::FlowControl Flow;
    bool DtrOnOpen;
  };
  const Case cases[] = {
      {"an old file alone", 5, std::nullopt, "9600,N,8,1", ports::FlowControl::None, true},
      {"the pair as written", 7, pair, "250000,N,8,2", ports::FlowControl::RtsCts, false},
      {"the second file gone", 7, std::nullopt, "38400,N,8,1", ports::FlowControl::None, true},
      {"the second file damaged", 7, pair.substr(0, 40), "38400,N,8,1", ports::FlowControl::None, true},
      {"the speed line changed since", 5, pair, "9600,N,8,1", ports::FlowControl::None, true},
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
    EXPECT_EQ(ports::SettingsText(fake.Port.Given), c.PortSettings);
    EXPECT_EQ(fake.Port.Given.Flow, c.Flow);
    EXPECT_EQ(fake.Port.Given.DtrOnOpen, c.DtrOnOpen);

    // Saved again, the 16 lines hold the nearest quick choices and the pair reads back whole.
    panel.SaveSettings();
    SettingsValues saved;
    std::ifstream file(folders.IniFilePath(), std::ios::binary);
    ReadSettings(file, [&](int line, std::string_view text) { return ApplySettingsLine(saved, line, text); });
    EXPECT_EQ(saved.BaudIndex, ports::NearestQuickBaudIndex(panel.Current().Connection().Line().Baud));
    ports::LineSettingsRecord record;
    ASSERT_TRUE(ports::ReadLineSettingsFile(base::ReadWholeFile(folders.LineSettingsFilePath()), record));
    EXPECT_EQ(record.Line, panel.Current().Connection().Line());
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
    panel.Current().Controls().SetTerminalMode(true);  // /T: the view can be seen
    panel.FormLoad();
    EXPECT_EQ(view.ScrollbackShown, c.Expected);
    EXPECT_EQ(panel.Current().Receive().History().CurrentLimits().Bytes, c.Expected.Limits().Bytes);

    EXPECT_FALSE(panel.Current().ChooseScrollback("lots"));
    EXPECT_EQ(view.ScrollbackShown, c.Expected);
    EXPECT_TRUE(panel.Current().ChooseScrollback(" 250,000 lines"));
    EXPECT_EQ(panel.Current().Receive().History().CurrentLimits().Lines, 250000U);
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
  EXPECT_EQ(panel.Current().Receive().History().CurrentLimits().Bytes, 20000U);
  panel.Current().Link().Receive("\x01X81\x03");
  EXPECT_EQ(panel.Current().Receive().History().CurrentLimits().Lines, 1000000U);
  panel.Current().Link().Receive("\x01X1\x03");
  EXPECT_EQ(panel.Current().Receive().History().CurrentLimits().Bytes, 20000U);
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

// A session besides the first (another window, or a second program) keeps its settings per
// port and adds its port to the names of the files it writes; the first session's files and
// the program's own choices are never written by it, and its port brings its settings back.
TEST(PanelSettingsTest, AFurtherSessionKeepsItsSettingsPerPortAndNamesItsFiles) {
  SettingsFolder place;
  ASSERT_TRUE(WriteSettingsFile(place.Folders.IniFilePath(), Sample()));
  const std::string firstFile = base::ReadWholeFile(place.Folders.IniFilePath());
  place.Fake.Devices.Names = {"USB Serial Port (COM33)", "USB Serial Port (COM7)"};
  const auto start = [&place](fakes::FakePanelView& view) {
    auto panel = std::make_unique<Panel>(place.Fake.Get(), view);
    panel->SetFurtherSession();
    panel->SetCommandLinePort(7);
    panel->FormLoad();
    return panel;
  };
  {
    fakes::FakePanelView view;
    const std::unique_ptr<Panel> further = start(view);
    EXPECT_EQ(view.Caption, WindowCaption() + " - COM7");
    const SettingsValues named = further->CurrentSettings();
    EXPECT_EQ(named.AsciiLogFileName, "a-COM7.log");
    EXPECT_EQ(named.HexLogFileName, "h-COM7.log");
    EXPECT_EQ(named.TraceFileName, "trace-COM7.txt");
    EXPECT_EQ(view.AsciiLogName, "a-COM7.log") << "the Settings tab shows the name written";
    EXPECT_TRUE(further->Current().LogFiles().LogPath("run.log").ends_with("run-COM7.log"));
    further->Current().Transmit().LoadLine(0, "mine");
    further->SaveSettings();
  }
  EXPECT_EQ(base::ReadWholeFile(place.Folders.IniFilePath()), firstFile);
  EXPECT_FALSE(base::FileExists(place.Folders.OptionsFilePath()));
  fakes::FakePanelView view;
  const std::unique_ptr<Panel> again = start(view);
  const SettingsValues back = again->CurrentSettings();
  EXPECT_EQ(back.TxLines[0], "mine");
  EXPECT_EQ(back.AsciiLogFileName, "a-COM7.log") << "named once, not again";
  EXPECT_EQ(back.ComPortNumber, 7);
  EXPECT_TRUE(again->Current().LogFiles().LogPath("run.log").ends_with("run-COM7.log"));
  // A new window that starts without a port and has the same port picked from its list.
  fakes::FakePanelView picking;
  const auto later = std::make_unique<Panel>(place.Fake.Get(), picking);
  later->SetFurtherSession();
  later->SetStartWithoutPort();
  later->FormLoad();
  EXPECT_NE(later->CurrentSettings().TxLines[0], "mine") << "the first session's until a port is picked";
  picking.SetComPortText("USB Serial Port (COM7)");
  later->Current().ApplyChosenPort();
  EXPECT_EQ(picking.Caption, WindowCaption() + " - COM7");
  EXPECT_EQ(later->CurrentSettings().TxLines[0], "mine") << "the port's own settings come back";
  EXPECT_EQ(later->CurrentSettings().AsciiLogFileName, "a-COM7.log");
  EXPECT_TRUE(later->Current().LogFiles().LogPath("run.log").ends_with("run-COM7.log"));
}

}  // namespace
}  // namespace korvani::app
