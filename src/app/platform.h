// SPDX-License-Identifier: GPL-3.0-or-later
// What the program needs of the machine it runs on: the shell supplies the real pieces,
// tests supply fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/version_check.h"
#include "base/clock.h"
#include "base/dialogs.h"
#include "base/timer.h"
#include "hmi/screen/drawing_surface.h"
#include "ports/device_source.h"
#include "ports/serial_port.h"
#include "ports/source_schemes.h"
#include "transfer/child_process.h"

namespace korvani::app {

struct Platform {
  ports::SerialPort& Port;  // the machine's serial port
  hmi::screen::DrawingSurface& Surface;
  base::Dialogs& Dialogs;
  ports::DeviceSource& Devices;
  const base::Clock& Clock;
  std::function<std::unique_ptr<base::Timer>()> MakeTimer;
  std::function<void(const std::string& url)> OpenWebPage;
  std::string MakerWebAddress;
  std::function<std::string(const char* name)> GetEnv;  // "" when unset
  std::function<double()> Random;                       // in [0, 1)
  std::string SplashFile;                               // the intro text typed at start-up
  VersionCheck::Fetch FetchPage;                        // one GET; failures are never reported
  std::string ProductUrl;                               // the version check's page and the download
  std::string HelpUrl;                                  // Label1's help page
  std::function<std::int64_t()> Microseconds = base::SteadyMicroseconds;  // a recording's times
  // The file protocols' programs: how one is run, and where one is installed ("" if not).
  std::function<std::unique_ptr<transfer::ChildProcess>()> MakeChild = {};
  std::function<std::string(std::string_view name)> FindProgram = {};
  std::string DownloadsFolder = {};  // where the choosers of received files open ("": anywhere)
  // The sources of bytes besides the machine's port, by scheme; each session makes its own.
  std::vector<ports::SourceMaker> Sources = {};
};

}  // namespace korvani::app
