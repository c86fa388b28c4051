// SPDX-License-Identifier: GPL-3.0-or-later
// Cuts the board's HMI messages (SOH, command, arguments split by STX, ETX) out of the
// received data and runs each command's handler.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "hmi/link/command_table.h"
#include "hmi/link/protocol.h"

namespace korvani::hmi::link {

// What is kept of the unconsumed received text between chunks.
inline constexpr std::size_t kRxBufferLimit = 1000;

// Raised while a message is parsed or executed to abandon it; handlers may throw it (or
// any std::exception) when their arguments cannot be used.
class MessageAbandoned : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Framer {
 public:
  // `screenReset` is what ending the intro screen runs.
  explicit Framer(std::function<void()> screenReset);

  CommandTable& Commands() { return Table; }
  // Told every command the table marks as redrawn, with its arguments, before it runs.
  using KeepHook = std::function<void(char command, const Arguments& args)>;
  void SetKeepHook(KeepHook keep) { Keep = std::move(keep); }

  // Appends received (or injected) text and runs every complete message in it.
  void Receive(std::string_view text);
  // Runs complete messages from the front of the buffer until none is left or one fails;
  // then keeps only the last kRxBufferLimit characters of what is left.
  void ExtractMessages();
  // One message up to and including its ETX. Throws MessageAbandoned on a 12th argument.
  void DispatchMessage(std::string_view message);
  // Removes the next argument from the front of `rest` and returns it.
  static std::string NextArgument(std::string_view& rest);
  void EndIntroScreen();

  [[nodiscard]] bool IntroShowing() const { return Intro; }
  // The user's "Connect" and "Set RTC" end the intro without a reset.
  void ClearIntroShowing() { Intro = false; }

  [[nodiscard]] std::string_view HMIRxBuffer() const { return std::string_view(Buffer).substr(Consumed); }

 private:
  void KeepTail();

  CommandTable Table;
  KeepHook Keep;
  std::function<void()> ScreenReset;
  bool Intro = true;
  // Received text; the part before Consumed has been cut out as messages already, so a
  // chunk holding thousands of messages is cut without moving its text for each one.
  std::string Buffer;
  std::size_t Consumed = 0;
};

}  // namespace korvani::hmi::link
