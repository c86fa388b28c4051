// SPDX-License-Identifier: GPL-3.0-or-later
// What the program asks of the one serial port it talks through. The shell supplies the
// real port; tests supply a fake. Events are delivered on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ports/line_settings.h"

namespace korvani::ports {

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

// A line of its own: what a serial port offers beyond bytes in and out (its speed, format
// and flow control, its control lines and break). A source without one (a network port, a
// replayed recording) offers none; see SerialPort::Line.
class SerialLine {
 public:
  virtual ~SerialLine() = default;
  // The line's settings (speed, format, flow control, DTR and RTS on open) for the next open.
  virtual void SetLine(const LineSettings& line) = 0;
  // Whether the open port has control lines to set and read (a pseudo-terminal and the demo
  // board have none; the calls below then do nothing and say so).
  [[nodiscard]] virtual bool HasControlLines() const = 0;
  // Sets an output line of the open port; false when it cannot.
  virtual bool SetDtr(bool on) = 0;
  virtual bool SetRts(bool on) = 0;
  [[nodiscard]] virtual ControlLines Lines() const = 0;
  // Holds the line in the break state for the time given; false when it cannot.
  virtual bool SendBreak(int milliseconds) = 0;
};

// A source of bytes: reading, writing, opening, closing and the line's state.
class SerialPort {
 public:
  using EventHandler = std::function<void(PortEvent event)>;

  virtual ~SerialPort() = default;

  // COM port number the next open uses.
  virtual void SetPortNumber(std::int16_t number) = 0;
  [[nodiscard]] virtual std::int16_t PortNumber() const = 0;

  // The source's line, or null when it has none of its own (a network port, a replayed
  // recording: the window shows the line's settings as not applicable). Ask it once the
  // port number is set: the answer stays the same until the number changes.
  [[nodiscard]] virtual SerialLine* Line() { return nullptr; }

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
  // Bytes written but not yet gone out.
  [[nodiscard]] virtual std::int64_t BytesToWrite() const { return 0; }
  // When the bytes the last read returned arrived, on the steady clock whose time is now
  // `nowUs`: now for a live port, the recorded time for a replayed recording.
  [[nodiscard]] virtual std::int64_t ArrivedAt(std::int64_t nowUs) const { return nowUs; }

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

}  // namespace korvani::ports
