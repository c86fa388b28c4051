// SPDX-License-Identifier: GPL-3.0-or-later
// A sysfs tree built on the fly: USB serial adapters plugged in, pulled out and plugged in
// again under another name, as the kernel shows them under /sys (and /dev beside it).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace korvani::fakes {

class SysfsTree {
 public:
  explicit SysfsTree(std::filesystem::path root) : Root(std::move(root)) {
    std::filesystem::create_directories(Root / "sys/class/tty");
    std::filesystem::create_directories(Root / "dev");
  }

  // A USB adapter on the USB port `usbPort` ("1-2") with the tty `tty` ("ttyUSB0" behind a
  // usb-serial port, "ttyACM0" straight on its interface); `serial` empty for none. The
  // tty's device file links to `device` when one is given.
  void Plug(const std::string& tty, const std::string& usbPort, const std::string& vendor,
            const std::string& product, const std::string& serial, const std::string& device = {}) {
    namespace fs = std::filesystem;
    const fs::path usb = Root / "sys/devices/pci0/usb1" / usbPort;
    const fs::path interface = usb / (usbPort + ":1.0");
    const bool acm = tty.rfind("ttyACM", 0) == 0;
    const fs::path port = acm ? interface : interface / tty;
    const fs::path classDir = port / "tty" / tty;
    fs::create_directories(classDir);
    Write(usb / "idVendor", vendor);
    Write(usb / "idProduct", product);
    Write(usb / "product", "USB adapter");
    if (!serial.empty()) {
      Write(usb / "serial", serial);
    }
    Write(interface / "bInterfaceNumber", "00");
    fs::create_directory_symlink(fs::path("../.."), classDir / "device");
    fs::create_directory_symlink(fs::relative(classDir, Root / "sys/class/tty"),
                                 Root / "sys/class/tty" / tty);
    if (!device.empty()) {
      fs::create_symlink(device, Root / "dev" / tty);
    }
  }

  // The adapter on that USB port is pulled out: its tty and device file go.
  void Unplug(const std::string& tty, const std::string& usbPort) {
    namespace fs = std::filesystem;
    fs::remove(Root / "sys/class/tty" / tty);
    fs::remove(Root / "dev" / tty);
    fs::remove_all(Root / "sys/devices/pci0/usb1" / usbPort);
  }

  [[nodiscard]] std::string Sys() const { return (Root / "sys").string(); }
  [[nodiscard]] std::string Dev() const { return (Root / "dev").string(); }
  [[nodiscard]] std::string DevicePath(const std::string& tty) const { return (Root / "dev" / tty).string(); }

 private:
  static void Write(const std::filesystem::path& file, const std::string& line) {
    std::ofstream(file) << line << "\n";
  }

  std::filesystem::path Root;
};

}  // namespace korvani::fakes
