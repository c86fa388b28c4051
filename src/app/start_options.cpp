// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/start_options.h"

#include <string>

#include "ports/source_schemes.h"

namespace korvani::app {

void TakeSessionOptions(Panel& panel, const StartOptions& options) {
  panel.SetCommandLineScrollback(options.Scrollback);
  panel.Current().Receive().SetTimestamps(options.Timestamps);
  panel.Current().Controls().SetTerminalMode(
      hmi::screen::PanelControls::TerminalModeFrom(options.Arguments) || options.Console);
}

void TakeFirstSessionOptions(Panel& panel, ports::AddedPorts& devices, const StartOptions& options) {
  if (!options.PortPath.empty()) {
    // The named device (or network address) joins the port list and is the one opened at
    // start-up.
    panel.SetCommandLinePort(devices.AddUserPort(options.PortPath));
  }
  if (!options.ReplayPath.empty()) {
    panel.SetCommandLinePort(devices.AddUserPort(std::string(ports::kReplayScheme) + options.ReplayPath));
  }
  if (options.Demo) {
    panel.SetCommandLinePort(ports::kDemoPortNumber);
  }
  if (!options.RecordPath.empty()) {
    panel.Current().StartRecording(options.RecordPath);  // from the first byte
  }
  panel.SetCommandLineLine(options.Line);
  if (options.NoUpdateCheck) {
    panel.SetCommandLineNoUpdateCheck();
  }
  TakeSessionOptions(panel, options);
}

}  // namespace korvani::app
