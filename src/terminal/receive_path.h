// SPDX-License-Identifier: GPL-3.0-or-later
// The receive path: every chunk the serial port delivers is kept in the receive view's
// history, appended to the terminal log files when enabled, and handed on to the HMI framer,
// always in that order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "base/files.h"
#include "base/timer.h"
#include "ports/serial_port.h"
#include "terminal/rx_history.h"
#include "terminal/rx_pane_view.h"

namespace korvani::terminal {

inline constexpr std::int16_t kHexPairsPerLine = 25;

enum class RxViewOption { Ascii, Hex };

// The two receive log files and their check boxes.
struct RxLogSettings {
  bool LogAscii = false;
  bool LogHex = false;
  std::string AsciiFileName = "ASCII_logfile.log";
  std::string HexFileName = "Hex_logfile.log";
  // Appended to by name; what arrives and what is sent go through the same two.
  base::AppendingFile AsciiFile;
  base::AppendingFile HexFile;
  // With time stamps on, every line of the ASCII log starts with the time its first byte came.
  bool Timestamps = false;
  LineStamper AsciiStamps;
  // The ASCII log's text as written: stamped when time stamps are on.
  [[nodiscard]] std::string_view AsciiLogText(std::string_view text, std::int32_t msOfDay);
  std::string StampedScratch;
};

class ReceivePath {
 public:
  // `hmiSink` takes every raw chunk after it has been shown and logged.
  using ChunkSink = std::function<void(std::string_view chunk)>;

  ReceivePath(ports::SerialPort& port, RxPaneView& view, ChunkSink hmiSink);
  ~ReceivePath();
  ReceivePath(const ReceivePath&) = delete;
  ReceivePath& operator=(const ReceivePath&) = delete;

  // The port's communication event.
  void OnPortEvent(ports::PortEvent event);
  // Reads everything waiting and passes it to AddThisLot; guarded against re-entry.
  void ReadTerminalInput();
  // Takes one chunk of received bytes.
  void AddThisLot(std::string_view thisLot);
  // Tells the view the history or its form changed.
  void UpDateRxDisplayDebug();

  void ClearPane();
  void ToggleFreeze();
  void ShowAscii();
  void ShowHex();

  // The "Log ASCII" and "Log Hex" boxes and the files they name.
  void SetAsciiLogging(bool on) { Logs.LogAscii = on; }
  void SetHexLogging(bool on) { Logs.LogHex = on; }
  void SetAsciiLogFileName(std::string name) { Logs.AsciiFileName = std::move(name); }
  void SetHexLogFileName(std::string name) { Logs.HexFileName = std::move(name); }
  // "Show sent": what the program writes to the port goes into the view's history too, in
  // order among what arrives, as lines of their own (off unless ticked).
  void SetShowSent(bool on) { ShowSentOn = on; }
  // Bytes the port took for the board.
  void RecordSent(std::string_view bytes);
  // Each told every received chunk as it came, after the history and the logs (the console,
  // a running script), in the order they began watching. Watch gives the number Unwatch takes.
  int Watch(ChunkSink watcher);
  void Unwatch(int watching);
  // While set, every received chunk goes to it alone: not to the history, the logs, the
  // views or the HMI (a file transfer's program has the line). None: back to them all.
  void SetDiversion(ChunkSink diversion) { Diversion = std::move(diversion); }
  // A line of the program's own among what came (a log divider), in either form.
  void ShowNote(std::string_view text);
  // The whole history as the view shows it (form, time stamps, frozen or not), each line
  // ended by CR LF: what "Save view..." writes.
  [[nodiscard]] std::string ViewText() const;
  // Time stamps before each line of the view and the ASCII log.
  void SetTimestamps(bool on);
  [[nodiscard]] bool Timestamps() const { return Logs.Timestamps; }
  // While more is known to be arriving, what a chunk adds to the logs is kept and written
  // with the chunks that follow: once the line goes quiet, once a log keeps its most, or by
  // this timer's tick at the latest (none: every chunk is written at once).
  void SetLogTimer(std::unique_ptr<base::Timer> timer);
  static constexpr int kLogLagMs = 50;
  // Where arrival times come from (none: midnight).
  void SetClock(const base::Clock& clock) { Time = &clock; }
  // Everything received, kept for the receive view; cleared with the pane.
  [[nodiscard]] const RxHistory& History() const { return Kept; }
  // The history's bytes the view may show: all of them, or while frozen those it had then.
  [[nodiscard]] std::uint64_t HistoryShownEnd() const { return IsFrozen ? FrozenEnd : RxHistory::kAll; }
  // A smaller limit drops the oldest lines at once, and the view is told.
  void SetHistoryLimits(HistoryLimits limits);

  // Shared with the terminal's log files, which choose and clear them.
  RxLogSettings& LogSettings() { return Logs; }
  [[nodiscard]] const RxLogSettings& LogSettingsView() const { return Logs; }

  // The hex log's column: where its next pair goes on a row of 25.
  [[nodiscard]] std::int16_t HexColumn() const { return Column; }
  [[nodiscard]] bool Frozen() const { return IsFrozen; }

 private:
  void ResetPort();
  // The chunk into each log whose box is ticked, in the log's form.
  void LogRxAscii(std::string_view thisLot);
  void LogRxHex(std::string_view thisLot);
  // The chunk's hex form for the log, in HexScratch, breaking rows where the log's do.
  void HexForLog(std::string_view thisLot);
  void WriteLogsUnlessMoreArrives();
  // A log's writing failed or works again: the view says so (a log written by a sent line too).
  void ShowLogProblems();
  void WriteKeptLogs();
  [[nodiscard]] HistoryForm Form() const {
    return Selected == RxViewOption::Ascii ? HistoryForm::Ascii : HistoryForm::Hex;
  }

  ports::SerialPort& Port;
  RxPaneView& View;
  ChunkSink HmiSink;
  std::vector<std::pair<int, ChunkSink>> Watchers;
  int LastWatching = 0;
  ChunkSink Diversion;
  RxLogSettings Logs;

  RxHistory Kept;
  std::uint64_t FrozenEnd = 0;
  std::int32_t ArrivalMs = 0;  // when the chunk in hand came
  bool ShowSentOn = false;
  const base::Clock* Time = nullptr;
  std::unique_ptr<base::Timer> LogTimer;

  std::int16_t Column = 0;
  bool ReadGuard = false;
  bool ReadTurnedAway = false;
  bool IsFrozen = false;
  RxViewOption Selected = RxViewOption::Ascii;

  std::string AsciiScratch;  // reused per chunk, only while its log is on
  std::string HexScratch;
};

}  // namespace korvani::terminal
