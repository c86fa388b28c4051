// SPDX-License-Identifier: GPL-3.0-or-later
// The log pane under the HMI screen: text the board sends with "!", divider lines, freeze,
// clear, hide and show; optionally every piece also goes to a trace file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/dialogs.h"
#include "base/tail_text.h"

namespace korvani::hmi::log {

inline constexpr std::size_t kHmiLogLimit = 50000;
inline constexpr std::string_view kDefaultTraceFile = "HMI_tracefile.txt";

class HmiLogView {
 public:
  virtual ~HmiLogView() = default;
  virtual void ShowHmiLog(std::string_view text) = 0;              // txtHMILog, scrolled to the end
  virtual void SetLogFreezeCaption(std::string_view caption) = 0;  // cmdLogFrz
  virtual void SetLogPaneVisible(bool visible) = 0;                // fraLogging
};

// Where the trace file's name is shown (the Settings tab), told when the user picks another.
class TraceFileView {
 public:
  virtual ~TraceFileView() = default;
  virtual void SetTraceFileName(std::string_view name) = 0;  // txtHMITraceFileName
};

class HmiLog {
 public:
  // `refitScreen` re-runs the screen set-up for the pane's new state, then the connect code
  // goes out.
  HmiLog(HmiLogView& view, TraceFileView& traceName, base::Dialogs& dialogs, const base::Clock& clock,
         std::function<void(bool paneVisible)> refitScreen);

  void AddToHMILog(std::string_view text, bool clear);
  void TraceToDisk(std::string_view text) const;
  void ClearTraceFile() const;
  void SelectTraceFile();

  void ToggleFreeze();
  void AddMarker();
  void ClearPane() { AddToHMILog({}, true); }
  void HidePane() { SetPaneVisible(false); }
  void ShowPane() { SetPaneVisible(true); }

  [[nodiscard]] std::string_view HMILogText() const { return Text.View(); }
  [[nodiscard]] bool Frozen() const { return IsFrozen; }

  void SetTraceFileName(std::string name) { TraceFile = std::move(name); }
  [[nodiscard]] const std::string& TraceFileName() const { return TraceFile; }
  // "To disk": every piece also goes to the trace file.
  void SetTraceToDisk(bool on) { TraceToDiskOn = on; }
  [[nodiscard]] bool TraceToDiskChecked() const { return TraceToDiskOn; }

 private:
  void SetPaneVisible(bool visible);

  HmiLogView& View;
  TraceFileView& TraceName;
  base::Dialogs& Dialogs;
  const base::Clock& Clock;
  std::function<void(bool)> RefitScreen;
  base::TailText Text;
  bool IsFrozen = false;
  std::string TraceFile = std::string(kDefaultTraceFile);
  bool TraceToDiskOn = false;
};

}  // namespace korvani::hmi::log
