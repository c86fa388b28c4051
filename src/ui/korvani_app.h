// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program as main() builds it: the machine's ports, how a session makes its other
// sources (and the demo board listed when asked for), a window per session with its panel,
// and every platform piece they need. main() and the end-to-end tests build it the same way.
#pragma once

#include <QLockFile>
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
#include "scripting/session_script.h"
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

  // Loads the first window in its start-up order and shows it, then a window for each
  // further port named on the command line.
  void Start();

  // The first window and its panel.
  FrmTerminal& Window() { return First->Frame; }
  app::Panel& Panel() { return *First->Panel; }
  // The windows open besides the first, in the order opened.
  [[nodiscard]] std::size_t MoreWindows() const { return More.size(); }
  FrmTerminal& MoreWindow(std::size_t index) { return More.at(index)->Frame; }
  app::Panel& MorePanel(std::size_t index) { return *More.at(index)->Panel; }
  // "New window": another session, shown with its port list to pick from; or, with a path,
  // on that port with those line options.
  void OpenWindow(const std::string& portPath = {}, const ports::LineOptions& line = {});
  // How a window's session makes its network ports, replays and demo board.
  std::vector<ports::SourceMaker> SourceMakers(FrmTerminal& window);

 private:
  // One window and the panel running its session, with the machine's port it uses.
  struct SessionWindow {
    FrmTerminal Frame;
    QtDialogs Dialogs{&Frame};
    QtSerialPort SerialDevice;
    std::unique_ptr<app::Panel> Panel;
    std::unique_ptr<scripting::SessionScript> Script;  // goes before the session it runs on
  };
  std::unique_ptr<SessionWindow> MakeWindow();
  std::unique_ptr<base::Timer> MakeTimer(FrmTerminal& window);
  // Its session ended; a window besides the first goes once its close has run.
  void Closed(SessionWindow* window);

  app::StartOptions Options;
  std::unique_ptr<ports::DeviceSource> MachineDevices;
  std::unique_ptr<ports::AddedPorts> Devices;  // the machine's, the network ports, replay, demo
  base::SystemClock Clock;
  QNetworkAccessManager Network;
  std::mt19937 Random;
  std::unique_ptr<QLockFile> SettingsLock;  // held while this program writes the settings
  std::unique_ptr<SessionWindow> First;
  std::vector<std::unique_ptr<SessionWindow>> More;
  std::unique_ptr<PaintTrace> Paints;  // only when KORVANI_PAINT_TRACE names a file
};

}  // namespace korvani::ui
