// SPDX-License-Identifier: GPL-3.0-or-later
// korvani --headless: a session with no window runs the --script on the port the command line
// names, with no display at all; its output goes to stdout, its errors and the session's
// problems to stderr, and its exit code is the program's.
#pragma once

#include "app/command_line.h"

namespace korvani::ui {

// Builds its own QCoreApplication; returns the exit code.
int RunHeadless(const app::StartOptions& options, int argc, char* argv[]);

}  // namespace korvani::ui
