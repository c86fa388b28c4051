// SPDX-License-Identifier: GPL-3.0-or-later
// The speed a serial driver actually applied to an open port, read back from the driver
// after the program set it, so a speed the adapter cannot run is reported, never silently
// replaced by another.
#pragma once

#include <cstdint>
#include <optional>

namespace korvani::platform {

// `handle` is the open port's descriptor (a file descriptor, or a HANDLE on Windows). Empty
// when the driver does not say.
std::optional<std::int32_t> AppliedBaud(std::intptr_t handle);

}  // namespace korvani::platform
