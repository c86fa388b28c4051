// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/com_port_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::ports {
namespace {

class ComPortListTest : public ::testing::Test {
 protected:
  std::string Build(bool hide, std::int16_t wanted) {
    Chosen = 0;
    Subject.BuildComPortList(hide, wanted);
    return View.ComPortShown;
  }

  fakes::FakeDeviceSource Devices;
  fakes::FakeDialogs Dialogs;
  fakes::FakePanelView View;
  int Chosen = 0;
  ComPortList Subject{Devices, Dialogs, View, "https://vexel.example.com", [this] { ++Chosen; }};
};

TEST_F(ComPortListTest, ListsInEnumerationOrderAndSelectsThePortInUse) {
  Devices.Names = {"USB Serial Port (COM5)", "Communications Port (COM1)"};
  EXPECT_EQ(Build(true, 5), "USB Serial Port (COM5)");
  EXPECT_EQ(View.ComPorts, Devices.Names);
  EXPECT_EQ(Chosen, 1);

  EXPECT_EQ(Build(true, 1), "Communications Port (COM1)");
  EXPECT_EQ(Build(true, 10), "(Select COM port)");  // (COM1) must not match (COM10)
  EXPECT_EQ(Chosen, 0);
  EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(ComPortListTest, OnlyNamesBeginningWithBtCountAsBluetooth) {
  Devices.Names = {"BT Port (COM7)", "Standard Serial over Bluetooth link (COM8)", "Other (COM9)"};
  Build(true, 0);
  EXPECT_EQ(View.ComPorts,
            (std::vector<std::string>{"Standard Serial over Bluetooth link (COM8)", "Other (COM9)"}));
  Build(false, 0);
  EXPECT_EQ(View.ComPorts.size(), 3U);
}

TEST_F(ComPortListTest, SkipsNamesWithoutAComNumberUpTo255) {
  Devices.Names = {"Modem", "Far (COM300)", "Edge (COM255)", "Blank ( COM 4)"};
  EXPECT_EQ(Build(false, 99), "Edge (COM255)");  // the only one left is chosen
  EXPECT_EQ(View.ComPorts, (std::vector<std::string>{"Edge (COM255)"}));
}

TEST_F(ComPortListTest, NoPortWarnsWithTheMakersAddress) {
  Build(true, 3);
  ASSERT_EQ(Dialogs.Boxes.size(), 1U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "No COM port");
  EXPECT_EQ(Dialogs.Boxes[0].Icon, base::MessageIcon::Exclamation);
  EXPECT_EQ(
      Dialogs.Boxes[0].Text,
      "No valid serial (COM) ports detected. You need a COM port to connect to the Vexel board. Usually "
      "this will be a USB to serial device. For help, see https://vexel.example.com.");
  EXPECT_EQ(View.ComPortShown, "(Select COM port)");
}

TEST_F(ComPortListTest, PlatformFailuresAreReportedThenTheEmptyListWarned) {
  Devices.Names = {"A (COM1)"};
  Devices.Problem = ListProblem{"Error Getting Device List", "(BAD HANDLE) The parameter is incorrect."};
  Build(true, 3);
  ASSERT_EQ(Dialogs.Boxes.size(), 2U);
  EXPECT_EQ(Dialogs.Boxes[0].Title, "Error Getting Device List");
  EXPECT_EQ(Dialogs.Boxes[0].Text, "(BAD HANDLE) The parameter is incorrect.");
  EXPECT_EQ(Dialogs.Boxes[0].Icon, base::MessageIcon::Critical);
  EXPECT_EQ(Dialogs.Boxes[1].Title, "No COM port");
  EXPECT_TRUE(View.ComPorts.empty());
}

struct NumberCase {
  const char* Text;
  std::int16_t Expected;
};

class PortNumberFromListTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(PortNumberFromListTest, ReadsTheNumberAfterCom) {
  EXPECT_EQ(ComPortList::PortNumberFromList(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, PortNumberFromListTest,
                         ::testing::Values(NumberCase{"USB Serial Port (COM5)", 5},
                                           NumberCase{"(Select COM port)", 0}, NumberCase{"", 0},
                                           NumberCase{"Port (COM 12)", 12}, NumberCase{"no port here", 0},
                                           NumberCase{"COM adapter (COM7)", 7}, NumberCase{"COM3", 3},
                                           NumberCase{"Port (COM)", 0}));

}  // namespace
}  // namespace korvani::ports
