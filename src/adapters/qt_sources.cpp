// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_sources.h"

#include <memory>
#include <string>

#include "adapters/qt_network_port.h"
#include "adapters/qt_timer.h"
#include "base/clock.h"
#include "demo/demo_port.h"
#include "ports/remote_com_port.h"
#include "terminal/replay_port.h"

namespace korvani::ui {

std::vector<ports::SourceMaker> QtSourceMakers(const FaultReport& faults, double replaySpeed) {
  const auto scheme = [](std::string_view prefix) { return ports::SchemeByPrefix(prefix); };
  return {
      {scheme(ports::kNetworkScheme),
       [faults](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto port = std::make_unique<QtNetworkPort>();
         port->SetFaultReport(faults);
         port->SetPathResolver(needs.PathOf);
         return port;
       }},
      {scheme(ports::kRemoteSerialScheme),
       [faults](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto connection = std::make_unique<QtNetworkPort>();
         connection->SetFaultReport(faults);
         connection->SetPathResolver(needs.PathOf);
         return std::make_unique<ports::RemoteComPort>(std::move(connection),
                                                       std::make_unique<QtTimer>(faults));
       }},
      {scheme(ports::kReplayScheme),
       [faults, replaySpeed](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto replay = std::make_unique<terminal::ReplayPort>(
             std::make_unique<QtTimer>(faults),
             [pathOf = needs.PathOf](std::int16_t number) {
               const std::string path = pathOf(number);
               return path.starts_with(ports::kReplayScheme) ? path.substr(ports::kReplayScheme.size())
                                                             : std::string();
             },
             base::SteadyMicroseconds);
         replay->SetSpeed(replaySpeed);
         return replay;
       }},
      {scheme(ports::kDemoScheme),
       [faults](const ports::SourceNeeds& needs) -> std::unique_ptr<ports::SerialPort> {
         auto board = std::make_unique<demo::DemoPort>(std::make_unique<QtTimer>(faults));
         board->SetPanelWritesLogs(needs.PanelWritesLogs);
         return board;
       }},
  };
}

}  // namespace korvani::ui
