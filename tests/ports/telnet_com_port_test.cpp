// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/telnet_com_port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvani::ports::telnet {
namespace {

using namespace std::string_literals;

// The server's stream, in the chunks it came in, and what the decoder makes of it.
struct DecodeCase {
  const char* Name;
  std::vector<std::string> Chunks;
  std::string Data;
  std::vector<Event> Events;
};

TEST(TelnetDecoderTest, TakesTheServersStreamApart) {
  const std::vector<DecodeCase> cases = {
      {"plain data", {"hello\r\n"}, "hello\r\n", {}},
      {"a doubled 255 is one data byte",
       {"a\xff\xff"
        "b"},
       "a\xff"
       "b",
       {}},
      {"negotiation between data", {"x\xff\xfb\x01y"}, "xy", {{Event::Kind::Will, 1, {}}}},
      {"every verb",
       {"\xff\xfb\x00\xff\xfc\x03\xff\xfd\x2c\xff\xfe\x18"s},
       "",
       {{Event::Kind::Will, 0, {}},
        {Event::Kind::Wont, 3, {}},
        {Event::Kind::Do, 44, {}},
        {Event::Kind::Dont, 24, {}}}},
      {"a command split anywhere",
       {"a\xff", "\xfd",
        "\x2c"
        "b\xff",
        "\xff"},
       "ab\xff",
       {{Event::Kind::Do, 44, {}}}},
      {"the server's speed answer (RFC 2217: 101, four bytes, network order)",
       {"\xff\xfa\x2c\x65\x00\x01\xc2\x00\xff\xf0"s},
       "",
       {{Event::Kind::ComPort, 101, "\x00\x01\xc2\x00"s}}},
      {"a 255 inside a value is doubled",
       {"\xff\xfa\x2c\x6b\xff\xff\xff\xf0z"},
       "z",
       {{Event::Kind::ComPort, 107, "\xff"s}}},
      {"NOP and GA carry nothing",
       {"a\xff\xf1"
        "b\xff\xf9"
        "c"},
       "abc",
       {}},
      {"another option's subnegotiation is passed over",
       {"\xff\xfa\x18\x00xterm\xff\xf0"
        "d"s},
       "d",
       {}},
      {"a subnegotiation ended by another command",
       {"\xff\xfa\x2c\x65\x01\xff\xfb"
        "e"},
       "e",
       {}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Decoder decoder;
    std::vector<Event> events;
    std::string data;
    for (const std::string& chunk : c.Chunks) {
      data += decoder.Take(chunk, events);
    }
    EXPECT_EQ(data, c.Data);
    EXPECT_EQ(events, c.Events);
  }
}

TEST(TelnetDecoderTest, AnEndlessSubnegotiationIsCut) {
  Decoder decoder;
  std::vector<Event> events;
  decoder.Take("\xff\xfa\x2c\x6b" + std::string(100000, 'x'), events);
  decoder.Take("\xff\xf0ok", events);
  ASSERT_EQ(events.size(), 1U);
  EXPECT_LE(events[0].Value.size(), 64U);
}

// The client's commands as RFC 2217 spells them.
TEST(ComPortClientTest, TheLineGoesOutAsTheRfcSpellsIt) {
  ComPortClient client;
  EXPECT_EQ(client.Start(), "\xff\xfb\x00\xff\xfd\x00\xff\xfb\x03\xff\xfd\x03\xff\xfb\x2c"s);
  LineSettings line;
  line.Baud = 57600;
  line.StopBits = "2";
  EXPECT_EQ(client.SetLine(line), "") << "held until the server agrees";
  std::string reply;
  EXPECT_EQ(client.Receive("\xff\xfd\x2cready"s, reply), "ready");
  EXPECT_TRUE(client.ComPortAgreed());
  EXPECT_EQ(reply,
            "\xff\xfa\x2c\x01\x00\x00\xe1\x00\xff\xf0"  // SET-BAUDRATE 57600
            "\xff\xfa\x2c\x02\x08\xff\xf0"              // SET-DATASIZE 8
            "\xff\xfa\x2c\x03\x01\xff\xf0"              // SET-PARITY NONE
            "\xff\xfa\x2c\x04\x02\xff\xf0"              // SET-STOPSIZE 2
            "\xff\xfa\x2c\x05\x01\xff\xf0"s);           // SET-CONTROL no flow control
  line.Baud = 255;
  line.DataBits = 7;
  line.Parity = 'E';
  line.StopBits = "1.5";
  line.Flow = FlowControl::RtsCts;
  EXPECT_EQ(client.SetLine(line),
            "\xff\xfa\x2c\x01\x00\x00\x00\xff\xff\xff\xf0"  // a 255 in the value is doubled
            "\xff\xfa\x2c\x02\x07\xff\xf0"
            "\xff\xfa\x2c\x03\x03\xff\xf0"
            "\xff\xfa\x2c\x04\x03\xff\xf0"
            "\xff\xfa\x2c\x05\x03\xff\xf0"s);
  EXPECT_EQ(client.SetDtr(false), "\xff\xfa\x2c\x05\x09\xff\xf0"s);
  EXPECT_EQ(client.SetRts(true), "\xff\xfa\x2c\x05\x0b\xff\xf0"s);
  EXPECT_EQ(client.Break(true), "\xff\xfa\x2c\x05\x05\xff\xf0"s);
  EXPECT_EQ(client.Break(false), "\xff\xfa\x2c\x05\x06\xff\xf0"s);
  EXPECT_EQ(client.Purge(), "\xff\xfa\x2c\x0c\x03\xff\xf0"s);
}

TEST(ComPortClientTest, ItRefusesWhatItDoesNotWantAndHearsTheServer) {
  ComPortClient client;
  EXPECT_FALSE(client.Start().empty());
  std::string reply;
  client.Receive("\xff\xfb\x01\xff\xfd\x18\xff\xfb\x00\xff\xfd\x2c"s, reply);
  EXPECT_EQ(reply, "\xff\xfe\x01\xff\xfc\x18"s) << "no echo, no terminal type; binary needs no answer";

  LineSettings line;
  line.Baud = 250000;
  reply = client.SetLine(line);
  EXPECT_EQ(client.Receive("\xff\xfa\x2c\x65\x00\x03\xd0\x90\xff\xf0"s, reply), "");
  EXPECT_EQ(client.BaudAnswered(), 250000U);
  EXPECT_EQ(client.Refusal(), "");
  client.Receive("\xff\xfa\x2c\x65\x00\x01\xc2\x00\xff\xf0"s, reply);  // it set 115200 instead
  EXPECT_EQ(client.Refusal(), "the far port did not take 250000 baud: it runs at 115200");
  client.Receive("\xff\xfa\x2c\x67\x03\xff\xf0"s, reply);
  EXPECT_EQ(client.Refusal(), "the far port did not take parity N");

  client.Receive("\xff\xfa\x2c\x6b\xb0\xff\xf0"s, reply);  // CTS, DSR and DCD up
  EXPECT_TRUE(client.Lines().Cts);
  EXPECT_TRUE(client.Lines().Dsr);
  EXPECT_FALSE(client.Lines().Ri);
  EXPECT_TRUE(client.Lines().Dcd);

  client.Receive("\xff\xfe\x2c"s, reply);
  EXPECT_FALSE(client.ComPortAgreed());
  EXPECT_EQ(client.SetDtr(true), "") << "kept until it agrees again";
}

}  // namespace
}  // namespace korvani::ports::telnet
