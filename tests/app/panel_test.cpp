#include "app/panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_serial_port.h"

namespace korvani::app {
namespace {

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() {
    for (const char command : {'S', '@'}) {
      Subject.Link().Commands().Bind(command, [this, command](const hmi::link::Arguments& args) {
        Dispatched.push_back(std::string{command} + args[0]);
      });
    }
  }

  fakes::FakeSerialPort Port;
  fakes::FakePanelView View;
  Panel Subject{Port, View};
  std::vector<std::string> Dispatched;
};

TEST_F(PanelTest, TestBoxInjectsDecodedMessagesWithoutWritingToThePort) {
  Port.Open = true;
  Subject.cmdHMITestSend_Click("'01S'03'01@Hi'03");
  EXPECT_EQ(Dispatched, (std::vector<std::string>{"S", "@Hi"}));
  EXPECT_EQ(View.TestEcho, "01 53 03 01 40 48 69 03 ");
  EXPECT_EQ(Port.Written, "");
  EXPECT_EQ(View.RxText, "");  // injected text is not terminal traffic
}

TEST_F(PanelTest, TestTextJoinsWithReceivedData) {
  Port.Open = true;
  Port.Arrive("\x01@Hel");
  Subject.cmdHMITestSend_Click("lo'03");
  EXPECT_EQ(Dispatched, (std::vector<std::string>{"@Hello"}));
}

TEST_F(PanelTest, ReceivedMessagesReachTheCommandsThroughTheReceivePath) {
  Port.Open = true;
  Port.Arrive("plain text\r\n\x01@Hi\x03");
  EXPECT_EQ(Dispatched, (std::vector<std::string>{"@Hi"}));
  EXPECT_EQ(View.RxText, "plain text\r\n'01 @Hi'03 ");
}

TEST_F(PanelTest, ReadsEverythingWaitingInOneChunk) {
  EXPECT_EQ(Port.ReadLength, 0);
  Port.Open = true;
  Port.Arrive(std::string(5000, 'z'));
  EXPECT_EQ(Subject.Receive().RxAsciiText().size(), 5000U);
}

TEST_F(PanelTest, PortThatCannotReopenAfterAnErrorShowsClosedWithTheReason) {
  Subject.OpenPort(200);
  Port.RefuseOpen = true;
  Port.Error = "cannot open /dev/ttyUSB0: No such file or directory";
  Port.Raise(terminal::kEventCdTimeout);
  EXPECT_FALSE(Port.Open);
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed (cannot open /dev/ttyUSB0: No such file or directory)");
}

TEST_F(PanelTest, OpenPortAppliesDefaultLineAndShowsStatus) {
  EXPECT_TRUE(Subject.OpenPort(200));
  EXPECT_EQ(Port.Settings(), "38400,N,8,1");
  EXPECT_EQ(View.PortStatus, "COM200: 38400,N,8,1 Open");

  Port.RefuseOpen = true;
  Port.Error = "cannot open /dev/ttyUSB0: Permission denied";
  EXPECT_FALSE(Subject.OpenPort(200));
  EXPECT_EQ(View.PortStatus, "? 38400,N,8,1 Closed (cannot open /dev/ttyUSB0: Permission denied)");
}

}  // namespace
}  // namespace korvani::app
