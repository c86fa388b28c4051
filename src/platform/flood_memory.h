// SPDX-License-Identifier: GPL-3.0-or-later
// The memory a flood of received bytes is kept in. A board that floods the line fills the
// history, the logs' text and their buffers with megabytes a second of memory never touched
// before; where the system maps such memory a small page at a time, taking it costs more
// than all the work done on the bytes. Called once at the start, before anything else.
#pragma once

namespace korvani::platform {

// Linux with the GNU C library: the heap is given room to grow into, marked for large pages,
// and what a flood freed is kept for the next. Elsewhere nothing.
void PrepareMemoryForFloods();

}  // namespace korvani::platform
