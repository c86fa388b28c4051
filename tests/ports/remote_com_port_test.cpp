// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/remote_com_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_serial_port.h"
#include "fakes/fake_timer.h"

namespace korvani::ports {
namespace {

using namespace std::string_literals;

const std::string kAgree = "\xff\xfd\x2c"s;  // the server's DO COM-PORT-OPTION

class RemoteComPortTest : public ::testing::Test {
 protected:
  RemoteComPortTest() {
    auto connection = std::make_unique<fakes::FakeSerialPort>();
    Server = connection.get();
    auto timer = std::make_unique<fakes::FakeTimer>();
    Timer = timer.get();
    Port = std::make_unique<RemoteComPort>(std::move(connection), std::move(timer));
  }

  fakes::FakeSerialPort* Server = nullptr;
  fakes::FakeTimer* Timer = nullptr;
  std::unique_ptr<RemoteComPort> Port;
};

TEST_F(RemoteComPortTest, EachOpenNegotiatesAndSendsTheLineOnceAgreed) {
  LineSettings line;
  line.Baud = 57600;
  line.StopBits = "2";
  ASSERT_NE(Port->Line(), nullptr);
  Port->Line()->SetLine(line);
  for (int connection = 0; connection < 2; ++connection) {  // a reconnect sets the far port again
    SCOPED_TRACE(connection);
    Server->Written.clear();
    ASSERT_TRUE(Port->SetOpen(true));
    EXPECT_EQ(Server->Written, telnet::ComPortClient().Start()) << "nothing else before the server agrees";
    EXPECT_FALSE(Port->Line()->SetDtr(true)) << "not before the server agrees";
    Server->Written.clear();
    Server->Arrive(kAgree + "hi");
    EXPECT_EQ(Port->ReadInput(), "hi");
    EXPECT_NE(Server->Written.find("\xff\xfa\x2c\x01\x00\x00\xe1\x00\xff\xf0"s), std::string::npos)
        << "57600 baud";
    EXPECT_NE(Server->Written.find("\xff\xfa\x2c\x04\x02\xff\xf0"s), std::string::npos) << "two stop bits";
    EXPECT_NE(Server->Written.find("\xff\xfa\x2c\x05\x08\xff\xf0"s), std::string::npos) << "DTR on open";
    EXPECT_TRUE(Port->Line()->SetDtr(true)) << "once it agreed";
    Port->SetOpen(false);
  }
}

TEST_F(RemoteComPortTest, DataIsEscapedBothWaysAndTheLinesReachTheFarPort) {
  Port->SetOpen(true);
  Server->Arrive(kAgree);
  Port->ReadInput();
  Server->Written.clear();
  EXPECT_TRUE(
      Port->Write("a\xff"
                  "b"));
  EXPECT_EQ(Server->Written,
            "a\xff\xff"
            "b");
  Server->Arrive("\xff\xff\xff\xfa\x2c\x6b\x10\xff\xf0z"s);
  EXPECT_EQ(Port->ReadInput(),
            "\xff"
            "z");
  EXPECT_TRUE(Port->Line()->Lines().Cts);

  Server->Written.clear();
  EXPECT_TRUE(Port->Line()->SetRts(false));
  EXPECT_EQ(Server->Written, "\xff\xfa\x2c\x05\x0c\xff\xf0"s);
  Server->Written.clear();
  EXPECT_TRUE(Port->Line()->SendBreak(250));
  EXPECT_EQ(Server->Written, "\xff\xfa\x2c\x05\x05\xff\xf0"s);
  Timer->Advance(249);
  EXPECT_EQ(Server->Written, "\xff\xfa\x2c\x05\x05\xff\xf0"s) << "held for its time";
  Timer->Advance(1);
  EXPECT_EQ(Server->Written, "\xff\xfa\x2c\x05\x05\xff\xf0\xff\xfa\x2c\x05\x06\xff\xf0"s);
  EXPECT_FALSE(Timer->Enabled());

  std::vector<PortEvent> events;
  Port->SetEventHandler([&events](PortEvent event) { events.push_back(event); });
  Server->Arrive("\xff\xfa\x2c\x65\x00\x00\x25\x80\xff\xf0"s);  // it runs at 9600, not 38400
  Port->ReadInput();
  EXPECT_EQ(Port->LastError(), "the far port did not take 38400 baud: it runs at 9600");
  EXPECT_NE(std::ranges::find(events, PortEvent::LineChanged), events.end()) << "said at once";
}

TEST_F(RemoteComPortTest, WithoutTheServersAgreementThereAreNoLinesToSet) {
  Port->SetOpen(true);
  EXPECT_FALSE(Port->Line()->SetDtr(true));
  EXPECT_FALSE(Port->Line()->SendBreak(250));
  Port->SetOpen(false);
  EXPECT_FALSE(Port->Line()->SetRts(true));
}

}  // namespace
}  // namespace korvani::ports
