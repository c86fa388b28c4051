// The platform edge: the source of installed serial ports this system has (the device
// installation API on Windows, sysfs elsewhere).
#pragma once

#include <memory>

#include "ports/dev_lister.h"

namespace korvani::platform {

std::unique_ptr<ports::DeviceSource> MakePlatformDeviceSource();

}  // namespace korvani::platform
