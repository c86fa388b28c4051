// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzzer's bytes are what a hostile Telnet server sends a remote port's client, cut into
// chunks at every 0x00 0x00; between chunks the client asks for a line, DTR and a break. The
// data passed on is never more than what came, and a reply is only ever commands.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ports/telnet_com_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvani::ports::telnet::ComPortClient;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  ComPortClient client;
  const std::string opening = client.Start();
  korvani::ports::LineSettings line;
  int turn = 0;
  while (!rest.empty()) {
    const std::size_t cut = rest.find(std::string_view("\0\0", 2));
    const std::string_view chunk = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 2);
    std::string reply;
    const std::string passed = client.Receive(chunk, reply);
    if (passed.size() > chunk.size() || (!reply.empty() && static_cast<unsigned char>(reply[0]) != 255)) {
      std::abort();
    }
    line.Baud = 300 << (turn % 10);
    const std::string asked =
        client.SetLine(line) + client.SetDtr(turn % 2 == 0) + client.Break(turn % 3 == 0);
    if (!asked.empty() && static_cast<unsigned char>(asked[0]) != 255) {
      std::abort();
    }
    ++turn;
  }
  if (opening.empty()) {
    std::abort();
  }
  return 0;
}
