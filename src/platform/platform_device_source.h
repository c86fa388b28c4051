// SPDX-License-Identifier: GPL-3.0-or-later
// The platform edge: the source of installed serial ports this system has (the device
// installation API on Windows, sysfs elsewhere).
#pragma once

#include <memory>
#include <string>

#include "ports/device_source.h"

namespace korvani::platform {

// `identityFile` is where USB adapters' COM numbers are remembered by their identity (on
// Windows the system remembers them itself).
std::unique_ptr<ports::DeviceSource> MakePlatformDeviceSource(const std::string& identityFile);

}  // namespace korvani::platform
