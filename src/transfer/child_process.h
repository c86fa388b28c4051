// SPDX-License-Identifier: GPL-3.0-or-later
// A program the transfer runs beside the port: its input and output are bytes to and from
// the board, its error output its progress. The shell supplies the real one; tests a fake.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "transfer/transfer_protocols.h"

namespace korvani::transfer {

class ChildProcess {
 public:
  struct Handlers {
    std::function<void(std::string_view bytes)> Output;  // what it writes for the board
    std::function<void(std::string_view text)> ErrorText;
    // It ended: its exit code, and false when it did not exit by itself (killed, crashed).
    std::function<void(int exitCode, bool exitedNormally)> Finished;
  };

  virtual ~ChildProcess() = default;
  // Starts the program; false, with the reason in Problem(), when it could not start. The
  // handlers are called on the user-interface thread, Finished once, never from Start.
  virtual bool Start(const ChildCommand& command, Handlers handlers) = 0;
  // Bytes for its input (what the board sent).
  virtual void Write(std::string_view bytes) = 0;
  // Ends it at once; Finished follows.
  virtual void Kill() = 0;
  [[nodiscard]] virtual std::string Problem() const = 0;
};

}  // namespace korvani::transfer
