// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/connection.h"

#include <gtest/gtest.h>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_serial_port.h"

namespace korvani::terminal {
namespace {

class ConnectionTest : public ::testing::Test {
 protected:
  fakes::FakeSerialPort Port;
  fakes::FakePanelView View;
  std::int16_t ListNumber = 3;
  Connection Subject{Port, View, [this] { return ListNumber; }};
};

TEST_F(ConnectionTest, QuickOptionsGiveThePortTheirCaptionsSettings) {
  const char* const bauds[] = {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"};
  const char* const formats[] = {"N,8,1", "E,7,1", "O,7,1", "E,8,1", "O,8,1"};
  for (std::int16_t b = 0; b < 8; ++b) {
    for (std::int16_t c = 0; c < 5; ++c) {
      Subject.ChooseBaud(b);
      Subject.ChooseFormat(c);
      EXPECT_EQ(ports::SettingsText(Port.Given), std::string(bauds[b]) + "," + formats[c]);
      EXPECT_EQ(View.BaudOption, b);
      EXPECT_EQ(View.CharacterOption, c);
      EXPECT_NE(kBaudCaptions[b].find(bauds[b]), std::string_view::npos);
      EXPECT_NE(kCharacterCaptions[c].find(formats[c]), std::string_view::npos);
    }
  }
}

TEST_F(ConnectionTest, ChosenSpeedAndFormatWithOpenDownShowOpen) {
  View.OpenDown = true;
  Subject.ChooseBaud(6);
  Subject.ChooseFormat(1);
  EXPECT_TRUE(Port.Open);
  EXPECT_EQ(Port.Number, 3);
  EXPECT_EQ(View.PortStatus, "COM3: 19200,E,7,1 Open");
}

TEST_F(ConnectionTest, ReleasingOpenClosesThePort) {
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  ASSERT_TRUE(Port.Open);
  View.OpenDown = false;
  Subject.ApplyOpenButton();
  EXPECT_FALSE(Port.Open);
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed");
}

TEST_F(ConnectionTest, APortWithoutALineShowsNoLineSettingsAndItsOwnNote) {
  Port.HasLine = false;
  Port.Error = "tcp://10.0.0.7:4001: connecting";
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  EXPECT_EQ(View.PortStatus, "COM3: Open");
  EXPECT_EQ(View.PortProblem, "tcp://10.0.0.7:4001: connecting") << "shown while open too";
  EXPECT_FALSE(View.LineApplies);
  View.OpenDown = false;
  Subject.ApplyOpenButton();
  EXPECT_EQ(View.PortStatus, "? Closed");
  Port.HasLine = true;  // another port chosen, one with a line
  Subject.ApplyChosenPort();
  EXPECT_TRUE(View.LineApplies);
}

TEST_F(ConnectionTest, NoPortChosenReleasesOpenAgain) {
  ListNumber = 0;
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  EXPECT_FALSE(Port.Open);
  EXPECT_FALSE(View.OpenDown);
}

TEST_F(ConnectionTest, BusyPortShowsClosedWithTheReasonAndNoBox) {
  Port.RefuseOpen = true;
  Port.Error = "/dev/ttyUSB0: in use by another program";
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  EXPECT_FALSE(View.OpenDown);
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed");
  EXPECT_EQ(View.PortProblem, "/dev/ttyUSB0: in use by another program");
}

// A setting the port refuses releases "Open" and says why; setting the line back reopens the
// port and the reason goes.
TEST_F(ConnectionTest, ARefusedLineSettingIsUndoneBySettingItBack) {
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  Port.RefuseOpen = true;
  Port.Error = "COM3: the port cannot take 7 data bits";
  Subject.ChooseFormat(1);  // E,7,1
  EXPECT_FALSE(View.OpenDown);
  EXPECT_EQ(View.PortProblem, "COM3: the port cannot take 7 data bits");
  Port.RefuseOpen = false;
  Port.Error.clear();       // a serial port that opens forgets its last failure
  Subject.ChooseFormat(0);  // N,8,1
  EXPECT_TRUE(Port.Open);
  EXPECT_TRUE(View.OpenDown);
  EXPECT_EQ(View.PortStatus, "COM3: 38400,N,8,1 Open");
  EXPECT_EQ(View.PortProblem, "");

  // "Open" released by the user stays released whatever the line does.
  View.OpenDown = false;
  Subject.ApplyOpenButton();
  Subject.ChooseFormat(1);
  EXPECT_FALSE(Port.Open);
  EXPECT_FALSE(View.OpenDown);
}

TEST_F(ConnectionTest, ChangingSpeedWhileOpenClosesConfiguresAndReopens) {
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  Port.OpenCalls.clear();
  Subject.ChooseBaud(5);
  EXPECT_EQ(Port.OpenCalls, (std::vector<bool>{false, true, true}));  // close, open, second try
  EXPECT_EQ(ports::SettingsText(Port.Given), "9600,N,8,1");
  EXPECT_TRUE(Port.Open);
}

TEST_F(ConnectionTest, ApplyGuardStopsReentry) {
  // A view whose check box raises its click event when the routine changes it.
  struct ReentrantView : fakes::FakePanelView {
    Connection* Owner = nullptr;
    int Reentries = 0;
    void SetOpenChecked(bool checked) override {
      OpenDown = checked;
      ++Reentries;
      Owner->ApplyOpenButton();
    }
  } view;
  Connection connection{Port, view, [] { return std::int16_t{0}; }};
  view.Owner = &connection;
  view.OpenDown = true;
  connection.ApplyChosenPort();
  EXPECT_GE(view.Reentries, 1);
  EXPECT_FALSE(Port.Open);
  EXPECT_EQ(view.PortStatus, "? 38400,N,8,1 Closed");
}

TEST_F(ConnectionTest, StartUpOpensThePortAndTicksOpenByTheOutcome) {
  Subject.SetPortNumber(4);
  Subject.OpenAtStartUp();
  EXPECT_TRUE(Port.Open);
  EXPECT_TRUE(View.OpenDown);
  EXPECT_EQ(View.PortStatus, "COM4: 38400,N,8,1 Open");

  Port.Open = false;
  Port.RefuseOpen = true;
  Subject.OpenAtStartUp();
  EXPECT_FALSE(View.OpenDown);
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed");
}

TEST_F(ConnectionTest, WatchReopensOnlyWhileOpenIsDown) {
  Subject.SetPortNumber(4);
  Subject.OpenAtStartUp();
  Port.SetOpen(false);  // the device went away
  View.OpenDown = false;
  Subject.WatchPort();
  EXPECT_FALSE(Port.Open);
  View.OpenDown = true;
  Subject.WatchPort();
  EXPECT_TRUE(Port.Open);
  EXPECT_EQ(View.PortStatus, "COM4: 38400,N,8,1 Open");
}

TEST_F(ConnectionTest, FullChoicesReachThePortAndTheStatusWithoutAQuickOption) {
  View.OpenDown = true;
  ASSERT_TRUE(Subject.ChooseSpeedText(" 250000 "));
  ports::LineSettings line = Subject.Line();
  ASSERT_TRUE(ports::ParseFormat("7S2", line));
  line.Flow = ports::FlowControl::RtsCts;
  line.DtrOnOpen = false;
  Subject.ChooseLine(line);
  EXPECT_EQ(ports::SettingsText(Port.Given), "250000,S,7,2");
  EXPECT_EQ(Port.Given.Flow, ports::FlowControl::RtsCts);
  EXPECT_FALSE(Port.Given.DtrOnOpen);
  EXPECT_TRUE(Port.Given.RtsOnOpen);
  EXPECT_EQ(View.PortStatus, "COM3: 250000,S,7,2 RTS/CTS Open");
  EXPECT_EQ(View.BaudOption, -1);
  EXPECT_EQ(View.CharacterOption, -1);

  // A quick option changes its part only.
  Subject.ChooseBaud(5);
  EXPECT_EQ(View.PortStatus, "COM3: 9600,S,7,2 RTS/CTS Open");

  // A typed text that is no speed changes nothing and says why.
  EXPECT_FALSE(Subject.ChooseSpeedText("fast"));
  EXPECT_EQ(ports::SettingsText(Port.Given), "9600,S,7,2");
  EXPECT_EQ(View.LineShown.Baud, 9600);
  EXPECT_NE(View.PortProblem.find("\"fast\" is not a speed"), std::string::npos);
}

TEST_F(ConnectionTest, EveryFormatAndFlowReachesThePortAndTheStatus) {
  View.OpenDown = true;
  const char* const flows[] = {"", " RTS/CTS", " XON/XOFF"};
  for (const char data : {'5', '6', '7', '8'}) {
    for (const char parity : {'N', 'E', 'O', 'M', 'S'}) {
      for (const char* stop : {"1", "1.5", "2"}) {
        for (const ports::FlowControl flow :
             {ports::FlowControl::None, ports::FlowControl::RtsCts, ports::FlowControl::XonXoff}) {
          ports::LineSettings line = Subject.Line();
          ASSERT_TRUE(ports::ParseFormat(std::string{data, parity} + stop, line));
          line.Flow = flow;
          Subject.ChooseLine(line);
          const std::string settings = std::string("38400,") + parity + "," + data + "," + stop;
          EXPECT_EQ(ports::SettingsText(Port.Given), settings);
          EXPECT_EQ(Port.Given.Flow, flow);
          EXPECT_EQ(View.PortStatus, "COM3: " + settings + flows[static_cast<int>(flow)] + " Open");
          EXPECT_EQ(View.LineShown, line);
        }
      }
    }
  }
}

TEST_F(ConnectionTest, ControlLinesFollowTheTogglesAndRtsIsTheDriversUnderRtsCts) {
  ports::LineSettings line = Subject.Line();
  line.DtrOnOpen = false;
  Subject.LoadLine(line);
  View.OpenDown = true;
  Subject.ApplyChosenPort();
  EXPECT_FALSE(Port.LinesNow.Dtr);  // kept low on open
  EXPECT_TRUE(Port.LinesNow.Rts);
  EXPECT_TRUE(View.LinesOpen);
  Subject.SetDtr(true);
  EXPECT_TRUE(View.LinesShown.Dtr);
  Subject.SendBreak();
  EXPECT_EQ(Port.Breaks, std::vector<int>{250});

  // The inputs are shown when they change, and only then.
  const int shown = View.LinesShownCount;
  Subject.WatchLines();
  EXPECT_EQ(View.LinesShownCount, shown);
  Port.LinesNow.Cts = true;
  Subject.WatchLines();
  EXPECT_EQ(View.LinesShownCount, shown + 1);
  EXPECT_TRUE(View.LinesShown.Cts);

  line.Flow = ports::FlowControl::RtsCts;
  Subject.ChooseLine(line);
  EXPECT_TRUE(View.RtsByDriver);
  Subject.SetRts(false);
  EXPECT_TRUE(Port.LinesNow.Rts);  // not the toggle's to change

  EXPECT_TRUE(View.LinesPresent);
  Port.NoControlLines = true;  // a line without control lines: the toggles say so
  Subject.ShowState();
  EXPECT_TRUE(View.LinesOpen);
  EXPECT_FALSE(View.LinesPresent);

  View.OpenDown = false;
  Subject.ApplyOpenButton();
  EXPECT_FALSE(View.LinesOpen);
  EXPECT_FALSE(View.LinesPresent);
  EXPECT_EQ(View.LinesShown, ports::ControlLines{});
}

}  // namespace
}  // namespace korvani::terminal
