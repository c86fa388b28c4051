// SPDX-License-Identifier: GPL-3.0-or-later
// The session ending (SIGTERM, SIGHUP) and Ctrl+C in the terminal the program was started
// from (SIGINT) are close requests like the window's own: the logs write what they keep, the
// settings are saved and the program ends. The signal only wakes the event loop; the close
// runs there, never inside the signal handler.
#pragma once

#include <QWidget>

namespace korvani::ui {

void CloseOnSessionEnd(QWidget& window);

}  // namespace korvani::ui
