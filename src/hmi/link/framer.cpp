// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/link/framer.h"

#include <exception>

namespace korvani::hmi::link {

Framer::Framer(std::function<void()> screenReset) : ScreenReset(std::move(screenReset)) {}

void Framer::Receive(std::string_view text) {
  Buffer.append(text);
  ExtractMessages();
}

void Framer::ExtractMessages() {
  try {
    for (;;) {
      const std::size_t etx = Buffer.find(kEtx, Consumed);
      if (etx == std::string::npos) {
        break;  // a partial message waits for the rest
      }
      // Cut before running: a handler that lets the event loop run may come back here.
      const std::string message = Buffer.substr(Consumed, etx + 1 - Consumed);
      Consumed = etx + 1;
      DispatchMessage(message);
    }
  } catch (const std::exception&) {
    // The failed message is abandoned without a report; complete messages after it run at
    // the next append.
  }
  KeepTail();
}

void Framer::KeepTail() {
  const std::size_t left = Buffer.size() - Consumed;
  const std::size_t keep = left < kRxBufferLimit ? left : kRxBufferLimit;
  Buffer.erase(0, Buffer.size() - keep);
  Consumed = 0;
}

void Framer::DispatchMessage(std::string_view message) {
  const std::size_t soh = message.find(kSoh);
  if (soh == std::string_view::npos) {
    return;
  }
  message.remove_prefix(soh);
  if (message.size() < 3) {
    return;
  }
  const char command = message[1];
  std::string_view rest = message.substr(2);

  Arguments args;
  std::size_t index = 0;
  while (!rest.empty()) {
    std::string argument = NextArgument(rest);
    if (index >= kMaxArguments) {
      throw MessageAbandoned("more than 11 arguments");
    }
    args[index++] = std::move(argument);
  }

  const CommandTable::Entry* entry = Table.Find(command);
  if (entry == nullptr) {
    return;
  }
  if (entry->Info->LeaveIntro) {
    EndIntroScreen();
  }
  if (entry->Info->Redrawn && Keep) {
    Keep(command, args);
  }
  entry->Handler(args);
}

std::string Framer::NextArgument(std::string_view& rest) {
  std::size_t separator = rest.find(kStx);
  if (separator == std::string_view::npos) {
    separator = rest.find(kEtx);
  }
  if (separator != std::string_view::npos && separator > 0) {
    std::string argument(rest.substr(0, separator));
    rest.remove_prefix(separator + 1);
    return argument;
  }
  rest.remove_prefix(rest.empty() ? 0 : 1);
  return {};
}

void Framer::EndIntroScreen() {
  if (!Intro) {
    return;
  }
  Intro = false;
  if (ScreenReset) {
    ScreenReset();
  }
}

}  // namespace korvani::hmi::link
