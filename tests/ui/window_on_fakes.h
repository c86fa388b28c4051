// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window on a fake port and platform: the window tests' fixture.
#pragma once

#include <tuple>

#include "adapters/qt_timer.h"
#include "app/panel.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_serial_port.h"
#include "scripting/session_script.h"
#include "ui/frm_terminal.h"

// The real window on a fake port and platform, with one COM port on the machine.
struct WindowOnFakes {
  WindowOnFakes() {
    fake.Devices.Names = {"USB Serial Port (COM3)"};
    window.Attach(panel, script);
  }
  std::tuple<korvani::fakes::FakeSerialPort&, korvani::ui::FrmTerminal&, korvani::app::Panel&> Parts() {
    return {port, window, panel};
  }

  korvani::fakes::FakeSerialPort port;
  korvani::ui::FrmTerminal window;
  korvani::fakes::FakePlatform fake;
  korvani::app::Panel panel{fake.With(port, window.Surface()), window.Views()};
  korvani::scripting::SessionScript script{
      panel.Current(), std::make_unique<korvani::ui::QtTimer>(), korvani::base::SteadyMicroseconds, {}};
};
