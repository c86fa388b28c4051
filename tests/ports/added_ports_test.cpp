// SPDX-License-Identifier: GPL-3.0-or-later
// Ports beside the machine's own: network addresses as the user types them, their COM
// numbers and how they are remembered, and a recording listed for replay.
#include "ports/added_ports.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::ports {
namespace {

struct AddressCase {
  std::string_view Typed;
  std::string_view Text;  // as it is kept, or empty when refused
  std::string_view Why;   // the reason when refused
};

class NetworkAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(NetworkAddressTest, IsTakenOrRefusedWithItsReason) {
  const AddressCase& c = GetParam();
  std::string why;
  const std::optional<NetworkAddress> address = ParseNetworkAddress(c.Typed, why);
  EXPECT_EQ(address ? address->Text() : std::string(), c.Text);
  EXPECT_EQ(why, c.Why);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, NetworkAddressTest,
    ::testing::Values(
        AddressCase{"tcp://192.168.1.50:4001", "tcp://192.168.1.50:4001", ""},
        AddressCase{"  esp-bridge.local:23 ", "tcp://esp-bridge.local:23", ""},
        AddressCase{"tcp://[fe80::1]:2000/", "tcp://[fe80::1]:2000", ""},
        AddressCase{"tcp://host:65535", "tcp://host:65535", ""},
        AddressCase{"tcp://host", "", "the address needs a port number: tcp://HOST:PORT"},
        AddressCase{"tcp://:23", "", "the address needs a host: tcp://HOST:PORT"},
        AddressCase{"tcp://host:0", "", "\"0\" is not a port number (1 to 65535)"},
        AddressCase{"tcp://host:65536", "", "\"65536\" is not a port number (1 to 65535)"},
        AddressCase{"tcp://host:23x", "", "\"23x\" is not a port number (1 to 65535)"},
        AddressCase{"tcp://ho st:23", "", "\"ho st\" is not a host name or address"},
        AddressCase{"tcp://[fe80::zz]:1", "", "\"fe80::zz\" is not an IPv6 address"},
        AddressCase{"tcp://[::1]", "", "an IPv6 address is written [address]:port"},
        AddressCase{"rfc2217://lab-rack:7001", "rfc2217://lab-rack:7001", ""},
        AddressCase{"rfc2217://lab-rack", "", "the address needs a port number: rfc2217://HOST:PORT"},
        AddressCase{"udp://host:23", "", "only tcp:// and rfc2217:// addresses are network ports"}));

class AddedPortsTest : public ::testing::Test {
 protected:
  [[nodiscard]] std::vector<std::string> Listed(AddedPorts& ports) const {
    std::vector<PortDevice> list;
    ports.ListPorts(list);
    std::vector<std::string> names;
    for (const PortDevice& device : list) {
      names.push_back(device.Name);
    }
    return names;
  }

  fakes::FakeDeviceSource Machine;
  fakes::TempFolder Folder;
  std::string File = Folder.File("INIFile/NetworkPorts.ini");
};

TEST_F(AddedPortsTest, NetworkPortsAreNumberedRememberedAndListedBesideTheMachines) {
  Machine.Names = {"USB Serial Port /dev/ttyUSB0 (COM33)"};
  {
    AddedPorts ports(Machine, File);
    EXPECT_EQ(ports.AddUserPort("tcp://10.0.0.7:4001"), kFirstAddedPort);
    EXPECT_EQ(ports.AddUserPort("tcp://bridge:23"), kFirstAddedPort + 1);
    EXPECT_EQ(ports.AddUserPort("tcp://10.0.0.7:4001"), kFirstAddedPort)
        << "the same address keeps its number";
    EXPECT_EQ(ports.AddUserPort("tcp://10.0.0.7"), 0) << "no address";
    EXPECT_EQ(ports.AddUserPort("/dev/ttyS9"), kFirstUserPort) << "a device path is the machine's";
    EXPECT_EQ(ports.AddUserPort("replay:/home/me/field run.kvr"), kReplayPortNumber);
    EXPECT_EQ(ports.AddUserPort("demo"), kDemoPortNumber);
  }
  AddedPorts next(Machine, File);  // the next start
  EXPECT_EQ(next.DevicePath(220), "tcp://10.0.0.7:4001");
  EXPECT_EQ(next.DevicePath(221), "tcp://bridge:23");
  EXPECT_EQ(next.DevicePath(kReplayPortNumber), "/dev/fake254") << "a replay is not remembered";
  EXPECT_EQ(next.AddUserPort("tcp://bridge:23"), 221);
  next.AddUserPort("replay:/home/me/field run.kvr");
  EXPECT_EQ(Listed(next), (std::vector<std::string>{
                              "USB Serial Port /dev/ttyUSB0 (COM33)", "Serial device /dev/ttyS9 (COM200)",
                              "Network port tcp://10.0.0.7:4001 (COM220)",
                              "Network port tcp://bridge:23 (COM221)", "Replay of field run.kvr (COM254)"}));
}

TEST_F(AddedPortsTest, ARememberedFileIsReadForWhatItCanTake) {
  Folder.Write("ports.ini", "COM225=tcp://a:1\nCOM19=tcp://b:2\nCOM226=not an address\nCOM227 = tcp://c:3\n");
  AddedPorts ports(Machine, Folder.File("ports.ini"));
  EXPECT_EQ(ports.DevicePath(225), "tcp://a:1");
  EXPECT_EQ(ports.DevicePath(227), "tcp://c:3");
  EXPECT_EQ(ports.DevicePath(19), "/dev/fake19") << "outside the network range: the machine's";
  EXPECT_EQ(ports.DevicePath(226), "/dev/fake226");
  EXPECT_EQ(ports.AddUserPort("tcp://d:4"), kFirstAddedPort) << "the first free number";
}

TEST_F(AddedPortsTest, ARememberedNumberTheMachineNowListsStaysTheMachinesAndTheNetworkPortMoves) {
  Folder.Write("ports.ini", "COM220=tcp://a:1\nCOM221=tcp://b:2\n");
  Machine.Names = {"Communications Port (COM220)"};
  AddedPorts ports(Machine, Folder.File("ports.ini"));
  EXPECT_EQ(ports.DevicePath(220), "/dev/fake220");
  EXPECT_EQ(ports.DevicePath(221), "tcp://b:2");
  EXPECT_EQ(ports.DevicePath(222), "tcp://a:1");
  AddedPorts next(Machine, Folder.File("ports.ini"));  // remembered where it went
  EXPECT_EQ(next.DevicePath(222), "tcp://a:1");
}

TEST_F(AddedPortsTest, TheNetworkRangeFillsUpPastTheNumbersTheMachineLists) {
  Machine.Names = {"Communications Port (COM220)"};  // a real one, as Windows may have
  AddedPorts ports(Machine, "");
  for (int i = kFirstAddedPort + 1; i <= kLastAddedPort; ++i) {
    ASSERT_EQ(ports.AddUserPort("tcp://host:" + std::to_string(i)), i);
  }
  EXPECT_EQ(ports.AddUserPort("tcp://host:1"), 0);
}

}  // namespace
}  // namespace korvani::ports
