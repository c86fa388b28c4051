// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/demo_port.h"

namespace korvani::demo {

DemoPort::DemoPort(std::unique_ptr<base::Timer> timer) : BoardTimer(std::move(timer)) {
  BoardTimer->SetInterval(DemoBoard::kTickMs);
  BoardTimer->SetTickHandler([this] { Tick(); });
}

bool DemoPort::SetOpen(bool open) {
  if (open == Open) {
    return true;
  }
  Open = open;
  Waiting.clear();
  if (open) {
    Vexel = DemoBoard{};  // every opening is a fresh power-up, told who writes the logs
    Vexel.SetPanelWritesLogs(PanelWritesLogs);
    Vexel.PowerUp();
  }
  BoardTimer->SetEnabled(open);
  return true;
}

void DemoPort::SetPanelWritesLogs(std::function<bool()> writes) {
  PanelWritesLogs = std::move(writes);
  Vexel.SetPanelWritesLogs(PanelWritesLogs);
}

bool DemoPort::Write(std::string_view data) {
  if (!Open) {
    return false;
  }
  Vexel.Hear(data);
  return true;
}

void DemoPort::Tick() {
  if (!Open) {
    return;
  }
  Vexel.Tick();
  Waiting += Vexel.TakeOutput();
  if (!Waiting.empty()) {
    RaiseEvent(ports::PortEvent::Received);
  }
}

}  // namespace korvani::demo
