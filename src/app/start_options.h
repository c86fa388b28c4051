// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's choices, given to a session before it loads: the same in a window and
// headless.
#pragma once

#include "app/command_line.h"
#include "app/panel.h"
#include "ports/added_ports.h"

namespace korvani::app {

// What every session takes: the receive view's history, time stamps, the terminal functions.
void TakeSessionOptions(Panel& panel, const StartOptions& options);
// The first session's port (a device or network address, a recording, the demo board), listed
// in `devices`; its recording from the first byte; its line options; then what every session
// takes.
void TakeFirstSessionOptions(Panel& panel, ports::AddedPorts& devices, const StartOptions& options);

}  // namespace korvani::app
