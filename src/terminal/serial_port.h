// What the program asks of the one serial port it talks through. The shell supplies the
// real port; tests supply a fake. Events are delivered on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "terminal/line_settings.h"

namespace korvani::terminal {

// What a port reports through its event handler.
enum class PortEvent {
  Received,     // bytes are waiting to be read
  LineChanged,  // the line's state changed (connected, lost, a replay's end): the window says so
  // Errors: the receive path closes the port and opens it again.
  Timeout,      // a wait on the line timed out
  ReadFailed,   // the driver could not read
  DeviceGone,   // the device went away
  WriteFailed,  // the driver could not write
  OtherError,   // any other failure the driver reports
};

// The control lines: DTR and RTS are the program's outputs, the others its inputs.
struct ControlLines {
  bool Dtr = false;
  bool Rts = false;
  bool Cts = false;
  bool Dsr = false;
  bool Dcd = false;
  bool Ri = false;
  bool operator==(const ControlLines&) const = default;
};

class SerialPort {
 public:
  using EventHandler = std::function<void(PortEvent event)>;

  virtual ~SerialPort() = default;

  // COM port number the next open uses.
  virtual void SetPortNumber(std::int16_t number) = 0;
  [[nodiscard]] virtual std::int16_t PortNumber() const = 0;

  // "38400,N,8,1": baud, parity letter, data bits, stop bits; applies to the next open.
  virtual void SetSettings(const std::string& settings) = 0;
  [[nodiscard]] virtual std::string Settings() const = 0;

  // Flow control, and whether DTR and RTS are raised or kept low on open; they apply to the
  // next open. A port without control lines (the demo board) takes and ignores them, and the
  // rest of these report that it has none.
  virtual void SetFlowControl(FlowControl /*flow*/) {}
  virtual void SetLinesOnOpen(bool /*dtr*/, bool /*rts*/) {}
  // Sets an output line of the open port; false when it cannot.
  virtual bool SetDtr(bool /*on*/) { return false; }
  virtual bool SetRts(bool /*on*/) { return false; }
  [[nodiscard]] virtual ControlLines Lines() const { return {}; }
  // Holds the line in the break state for the time given; false when it cannot.
  virtual bool SendBreak(int /*milliseconds*/) { return false; }
  // Whether the open port has control lines to set and read (a pseudo-terminal, a network
  // port, a replay and the demo board have none).
  [[nodiscard]] virtual bool HasControlLines() const { return false; }
  // Bytes written but not yet gone out on the line.
  [[nodiscard]] virtual std::int64_t BytesToWrite() const { return 0; }

  // False for a source whose line has no speed or format of its own (a network port, a
  // replayed recording): the window shows those settings as not applicable to it.
  [[nodiscard]] virtual bool TakesLineSettings() const { return true; }

  [[nodiscard]] virtual bool IsOpen() const = 0;
  // Opens or closes. Returns false when opening failed (missing or busy port, bad
  // settings); closing a closed port is harmless and succeeds.
  virtual bool SetOpen(bool open) = 0;

  // Received bytes not yet read, and the most the port can hold before it overflows.
  [[nodiscard]] virtual std::int64_t BytesWaiting() const = 0;
  [[nodiscard]] virtual std::int64_t Capacity() const = 0;
  // True when more received bytes are known to be on their way to a later read (waiting in
  // the system beyond what the last read took). A port that cannot tell says no.
  [[nodiscard]] virtual bool MoreArriving() const { return false; }

  // How many bytes one read returns at most; 0 means everything waiting.
  virtual void SetReadLength(std::int32_t length) = 0;
  // The waiting bytes (up to the read length), one char per byte, codes 0..255 unchanged.
  virtual std::string ReadInput() = 0;
  // Each char written as one byte. False when the port is closed or the write failed.
  virtual bool Write(std::string_view data) = 0;

  // A plain-text account of the last failure, for the status line.
  [[nodiscard]] virtual std::string LastError() const = 0;

  void SetEventHandler(EventHandler handler) { Handler = std::move(handler); }

 protected:
  void RaiseEvent(PortEvent event) {
    if (Handler) {
      Handler(event);
    }
  }

 private:
  EventHandler Handler;
};

}  // namespace korvani::terminal
