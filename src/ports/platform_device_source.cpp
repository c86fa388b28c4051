#include "ports/dev_lister.h"

#ifdef _WIN32
#include "ports/setupapi_device_source.h"
#else
#include "ports/sysfs_device_source.h"
#endif

namespace korvani::ports {

std::unique_ptr<DeviceSource> MakePlatformDeviceSource() {
#ifdef _WIN32
  return std::make_unique<SetupApiDeviceSource>();
#else
  return std::make_unique<SysfsDeviceSource>();
#endif
}

}  // namespace korvani::ports
