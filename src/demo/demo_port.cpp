#include "demo/demo_port.h"

#include <algorithm>

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
    Vexel = DemoBoard{};  // every opening is a fresh power-up
    Vexel.PowerUp();
  }
  BoardTimer->SetEnabled(open);
  return true;
}

std::string DemoPort::ReadInput() {
  const std::size_t take =
      ReadLength > 0 ? std::min(Waiting.size(), static_cast<std::size_t>(ReadLength)) : Waiting.size();
  std::string read = Waiting.substr(0, take);
  Waiting.erase(0, take);
  return read;
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
    RaiseEvent(terminal::kEventReceive);
  }
}

PortRouter::PortRouter(terminal::SerialPort& real, terminal::SerialPort& demo) : Real(real), Demo(demo) {
  Real.SetEventHandler([this](int code) {
    if (!UseDemo) {
      RaiseEvent(code);
    }
  });
  Demo.SetEventHandler([this](int code) {
    if (UseDemo) {
      RaiseEvent(code);
    }
  });
}

void PortRouter::SetPortNumber(std::int16_t number) {
  const bool demo = number == kDemoPortNumber;
  if (demo != UseDemo) {
    Active().SetOpen(false);  // the port being left is closed, as a change of number does
    UseDemo = demo;
  }
  Real.SetPortNumber(number);
  Demo.SetPortNumber(number);
}

void PortRouter::SetSettings(const std::string& settings) {
  Real.SetSettings(settings);
  Demo.SetSettings(settings);
}

void PortRouter::SetFlowControl(terminal::FlowControl flow) {
  Real.SetFlowControl(flow);
  Demo.SetFlowControl(flow);
}

void PortRouter::SetLinesOnOpen(bool dtr, bool rts) {
  Real.SetLinesOnOpen(dtr, rts);
  Demo.SetLinesOnOpen(dtr, rts);
}

void PortRouter::SetReadLength(std::int32_t length) {
  Real.SetReadLength(length);
  Demo.SetReadLength(length);
}

std::string DemoDeviceSource::AddToList(const ports::GUID_Storage* classID, bool bOnlyPresent,
                                        std::vector<ports::DevInfo_Storage>& list) {
  std::string status = Machine.AddToList(classID, bOnlyPresent, list);
  if (status != ports::kStatusOk) {
    return status;
  }
  std::vector<ports::GUID_Storage> portsClass;
  const bool portsAsked = classID == nullptr ||
                          (Machine.GetGUIDByName("Ports", portsClass) == ports::kStatusOk &&
                           !portsClass.empty() && portsClass.front().ToString("-") == classID->ToString("-"));
  if (portsAsked) {
    ports::DevInfo_Storage board;
    board.SPDRP_DEVICEDESC = "Vexel demo board";
    board.SPDRP_FRIENDLYNAME = kDemoPortName;
    board.SPDRP_CLASS = "Ports";
    list.push_back(board);
  }
  return status;
}

std::string DemoDeviceSource::DevicePath(std::int16_t comNumber) const {
  return comNumber == kDemoPortNumber ? std::string("demo") : Machine.DevicePath(comNumber);
}

}  // namespace korvani::demo
