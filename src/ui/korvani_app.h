// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program as main() builds it: the machine's ports, how a session makes its other
// sources (and the demo board listed when asked for), the window, the panel and every
// platform piece they need. main() and the
// end-to-end tests build it the same way.
#pragma once

#include <QNetworkAccessManager>
#include <QString>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "adapters/qt_dialogs.h"
#include "adapters/qt_network_port.h"
#include "adapters/qt_serial_port.h"
#include "app/command_line.h"
#include "app/panel.h"
#include "base/clock.h"
#include "demo/demo_port.h"
#include "ports/added_ports.h"
#include "terminal/replay_port.h"
#include "ui/frm_terminal.h"
#include "ui/paint_trace.h"

namespace korvani::ui {

class KorvaniApp {
 public:
  explicit KorvaniApp(const app::StartOptions& options);
  KorvaniApp(const KorvaniApp&) = delete;
  KorvaniApp& operator=(const KorvaniApp&) = delete;
  ~KorvaniApp();

  // Loads the window in its start-up order and shows it.
  void Start();

  FrmTerminal& Window() { return MainWindow; }
  app::Panel& Panel() { return *HmiPanel; }
  // How each session makes its network ports, replays and demo board.
  std::vector<ports::SourceMaker> SourceMakers();

 private:
  std::unique_ptr<base::Timer> MakeTimer();

  app::StartOptions Options;
  std::unique_ptr<ports::DeviceSource> MachineDevices;
  std::unique_ptr<ports::AddedPorts> Devices;  // the machine's, the network ports, replay, demo
  QtSerialPort SerialDevice;
  FrmTerminal MainWindow;
  QtDialogs Dialogs;
  base::SystemClock Clock;
  QNetworkAccessManager Network;
  std::mt19937 Random;
  std::unique_ptr<app::Panel> HmiPanel;
  std::unique_ptr<PaintTrace> Paints;  // only when KORVANI_PAINT_TRACE names a file
};

}  // namespace korvani::ui
