// SPDX-License-Identifier: GPL-3.0-or-later
// A session's router: each scheme's source made when first chosen and kept, the machine's port
// for anything else, events only from the source in use, the one left closed.
#include "ports/port_router.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes/fake_serial_port.h"

namespace korvani::ports {
namespace {

class PortRouterTest : public ::testing::Test {
 protected:
  PortRouterTest() {
    Router.SetEventHandler([this](PortEvent event) { Events.push_back(event); });
  }

  // Network ports are made here; the demo scheme has no maker in this build.
  std::vector<SourceMaker> Makers() {
    return {{SchemeByPrefix(kNetworkScheme), [this](const SourceNeeds& needs) {
               auto port = std::make_unique<fakes::FakeSerialPort>();
               Made.push_back(port.get());
               Paths = needs.PathOf;
               return std::unique_ptr<SerialPort>(std::move(port));
             }}};
  }

  std::map<std::int16_t, std::string> Listed{
      {3, "/dev/ttyUSB0"}, {220, "tcp://a:1"}, {221, "tcp://b:2"}, {255, "demo"}};
  fakes::FakeSerialPort Machine;
  std::vector<fakes::FakeSerialPort*> Made;
  std::function<std::string(std::int16_t)> Paths;
  std::vector<PortEvent> Events;
  PortRouter Router{Machine, Makers(), {.PathOf = [this](std::int16_t number) { return Listed[number]; }}};
};

TEST_F(PortRouterTest, EachSchemeHasOneSourceMadeWhenFirstChosen) {
  Router.SetReadLength(0);
  Router.SetPortNumber(3);
  EXPECT_TRUE(Made.empty()) << "nothing is made before a scheme's number is chosen";
  ASSERT_TRUE(Router.SetOpen(true));
  EXPECT_TRUE(Machine.IsOpen());

  Router.SetPortNumber(220);
  ASSERT_EQ(Made.size(), 1U);
  EXPECT_FALSE(Machine.IsOpen()) << "the port left is closed";
  EXPECT_EQ(Made[0]->Number, 220);
  EXPECT_EQ(Made[0]->ReadLength, 0) << "the read length chosen before it was made";
  EXPECT_EQ(Paths(220), "tcp://a:1") << "the source is told the listed paths";
  Router.SetPortNumber(221);
  EXPECT_EQ(Made.size(), 1U) << "the same scheme's source serves its other numbers";
  EXPECT_EQ(Made[0]->Number, 221);

  Router.SetPortNumber(255);
  EXPECT_EQ(Made.size(), 1U);
  EXPECT_EQ(Machine.Number, 255) << "a scheme with no maker falls to the machine's port";
}

TEST_F(PortRouterTest, OnlyTheSourceInUseIsHeard) {
  Router.SetPortNumber(220);
  ASSERT_EQ(Made.size(), 1U);
  Router.SetOpen(true);
  Made[0]->Arrive("x");
  Machine.Arrive("y");
  EXPECT_EQ(Events, std::vector<PortEvent>{PortEvent::Received});
  EXPECT_EQ(Router.ReadInput(), "x");
  Router.SetPortNumber(3);
  Made[0]->Arrive("z");
  EXPECT_EQ(Events.size(), 1U) << "a source not chosen is not heard";
}

}  // namespace
}  // namespace korvani::ports
