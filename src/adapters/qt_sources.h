// SPDX-License-Identifier: GPL-3.0-or-later
// How a session makes its sources besides the machine's serial ports: a network port over Qt,
// a replay of a recording at the pace asked for, the demo board; each with Qt's timers.
#pragma once

#include <vector>

#include "adapters/guarded.h"
#include "ports/source_schemes.h"

namespace korvani::ui {

std::vector<ports::SourceMaker> QtSourceMakers(const FaultReport& faults, double replaySpeed);

}  // namespace korvani::ui
