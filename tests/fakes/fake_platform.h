// SPDX-License-Identifier: GPL-3.0-or-later
// A device source with a fixed list of ports, a clock that shows a fixed time, and the
// whole fake platform for a panel.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/panel.h"
#include "base/clock.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_surface.h"
#include "fakes/fake_timer.h"
#include "ports/com_port_list.h"
#include "ports/device_source.h"

namespace korvani::fakes {

class FakeDeviceSource final : public ports::DeviceSource {
 public:
  std::optional<ports::ListProblem> ListPorts(std::vector<ports::PortDevice>& ports) override {
    if (Problem) {
      return Problem;
    }
    for (const std::string& name : Names) {
      const std::int16_t number = ports::ComPortList::PortNumberFromList(name);
      ports.push_back({number, DevicePath(number), name});
    }
    return std::nullopt;
  }
  std::int16_t AddUserPort(const std::string& path) override {
    Names.push_back("Serial device " + path + " (COM200)");
    return ports::kFirstUserPort;
  }
  [[nodiscard]] std::string DevicePath(std::int16_t comNumber) const override {
    return "/dev/fake" + std::to_string(comNumber);
  }

  std::vector<std::string> Names;
  std::optional<ports::ListProblem> Problem;  // what listing fails with, when it does
};

class FakeClock final : public base::Clock {
 public:
  [[nodiscard]] base::LocalTime Now() const override { return Time; }
  base::LocalTime Time{2026, 12, 7, 15, 30, 45, 1};  // Monday 7 December 2026, 15:30:45
};

// Everything a panel needs, faked.
struct FakePlatform {
  FakeSerialPort Port;
  FakeSurface Surface;
  FakeDialogs Dialogs;
  FakeDeviceSource Devices;
  FakeClock Clock;
  std::vector<FakeTimer*> Timers;  // in the order the panel made them: buttons, toast
  std::vector<std::string> OpenedPages;
  // The environment the panel sees: by default no settings file anywhere.
  std::map<std::string, std::string> Env{{"APPDATA", "/nonexistent-korvani-appdata"}};
  std::vector<double> RandomValues;
  std::string SplashFile = "/nonexistent-korvani-splash.txt";
  std::vector<std::string> Requests;             // pages asked for
  std::function<void(std::string)> PendingPage;  // answers the last request
  std::size_t NextRandom = 0;

  app::Platform Get() { return With(Port, Surface); }
  // The fakes, with a real serial port or surface in their place.
  app::Platform With(ports::SerialPort& port, hmi::screen::DrawingSurface& surface,
                     ports::DeviceSource* devices = nullptr) {
    return {port,
            surface,
            Dialogs,
            devices != nullptr ? *devices : Devices,
            Clock,
            [this] {
              auto timer = std::make_unique<FakeTimer>();
              Timers.push_back(timer.get());
              return std::unique_ptr<base::Timer>(std::move(timer));
            },
            [this](const std::string& url) { OpenedPages.push_back(url); },
            "https://vexel.example.com",
            [this](const char* name) {
              const auto found = Env.find(name);
              return found == Env.end() ? std::string() : found->second;
            },
            [this] { return RandomValues.empty() ? 0.0 : RandomValues[NextRandom++ % RandomValues.size()]; },
            SplashFile,
            [this](const std::string& url, std::function<void(std::string)> completed) {
              Requests.push_back(url);
              PendingPage = std::move(completed);
            },
            "https://vexel.example.com/korvani/version",
            "https://vexel.example.com/korvani/help"};
  }
  FakeTimer& ButtonTimer() { return *Timers.at(0); }
  FakeTimer& ToastTimer() { return *Timers.at(1); }
  FakeTimer& IntroTimer() { return *Timers.at(2); }
};

}  // namespace korvani::fakes
