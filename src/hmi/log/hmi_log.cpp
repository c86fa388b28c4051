// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/log/hmi_log.h"

#include "base/files.h"

#include <cstdio>

namespace korvani::hmi::log {

HmiLog::HmiLog(HmiLogView& view, TraceFileView& traceName, base::Dialogs& dialogs, const base::Clock& clock,
               std::function<void(bool)> refitScreen)
    : View(view), TraceName(traceName), Dialogs(dialogs), Clock(clock), RefitScreen(std::move(refitScreen)) {}

void HmiLog::AddToHMILog(std::string_view text, bool clear) {
  if (clear) {
    Text.Clear();
  } else {
    Text.AppendKeepingLast(text, kHmiLogLimit);
    if (TraceToDiskOn) {
      TraceToDisk(text);
    }
  }
  if (!IsFrozen) {
    View.ShowHmiLog(Text.View());
  }
}

void HmiLog::TraceToDisk(std::string_view text) const {
  base::AppendToFile(TraceFile, text);  // failures are ignored
}

void HmiLog::ClearTraceFile() const {
  base::ReplaceFile(TraceFile, {});
}

void HmiLog::SelectTraceFile() {
  std::string picked = Dialogs.PickSaveFile(TraceFile);
  if (!picked.empty()) {
    TraceFile = std::move(picked);
    TraceName.SetTraceFileName(TraceFile);
  }
}

void HmiLog::ToggleFreeze() {
  if (IsFrozen) {
    IsFrozen = false;
    View.SetLogFreezeCaption("Freeze");
    AddToHMILog({}, false);
  } else {
    IsFrozen = true;
    View.SetLogFreezeCaption("Update");
  }
}

void HmiLog::AddMarker() {
  const base::LocalTime now = Clock.Now();
  char time[32];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.Hour % 100, now.Minute % 100, now.Second % 100);
  AddToHMILog("\r\n----------------------------------------- " + std::string(time) + "\r\n", false);
}

void HmiLog::SetPaneVisible(bool visible) {
  View.SetLogPaneVisible(visible);
  if (RefitScreen) {
    RefitScreen(visible);
  }
}

}  // namespace korvani::hmi::log
