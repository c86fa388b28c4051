// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/setupapi_device_source.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

// The property codes are macros named like the record's fields: keep their values, then
// let the names mean the fields again.
namespace {
constexpr DWORD kDeviceDescCode = SPDRP_DEVICEDESC;
constexpr DWORD kFriendlyNameCode = SPDRP_FRIENDLYNAME;
constexpr DWORD kClassCode = SPDRP_CLASS;
}  // namespace
#undef SPDRP_DEVICEDESC
#undef SPDRP_FRIENDLYNAME
#undef SPDRP_CLASS

#include <algorithm>
#include <cwchar>
#include <set>

#include "ports/com_port_list.h"

namespace korvani::platform {

namespace {

constexpr DWORD kPropertyBufferStated = 500;
constexpr DWORD kPropertyBufferBytes = 1000;

struct PropertyRead {
  std::string Status = std::string(kStatusOk);
  std::string Text;
  std::uint32_t Number = 0;
};

PropertyRead GetDeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  PropertyRead read;
  BYTE buffer[kPropertyBufferBytes] = {};
  DWORD dataType = 0;
  DWORD requiredSize = 0;
  if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, &dataType, buffer, kPropertyBufferStated,
                                         &requiredSize)) {
    return read;  // a device without the property: not an error
  }
  if (requiredSize > kPropertyBufferStated) {
    read.Status =
        "Buffer too small " + std::to_string(requiredSize) + " vs " + std::to_string(kPropertyBufferStated);
    return read;
  }
  if (requiredSize > 0) {
    read.Text.assign(reinterpret_cast<const char*>(buffer), requiredSize - 1);
  }
  read.Number = static_cast<std::uint32_t>(buffer[0]) | (static_cast<std::uint32_t>(buffer[1]) << 8U) |
                (static_cast<std::uint32_t>(buffer[2]) << 16U) |
                (static_cast<std::uint32_t>(buffer[3]) << 24U);
  return read;
}

std::string TrimBlanks(std::string text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Narrow(const wchar_t* text, std::size_t length) {
  if (length == 0) {
    return {};
  }
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::string SetupApiDeviceSource::SystemErrorText(unsigned long errorCode) {
  char buffer[200] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode, 0, buffer,
                 sizeof buffer, nullptr);
  std::string text = StrTrimToNull(std::string_view(buffer, sizeof buffer));
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
    text.pop_back();
  }
  return TrimBlanks(text);
}

std::string SetupApiDeviceSource::GetGUIDByName(std::string_view className,
                                                std::vector<GUID_Storage>& classGUID) {
  const std::string name(className);
  DWORD count = 0;
  SetupDiClassGuidsFromNameA(name.c_str(), nullptr, 0, &count);
  if (count == 0) {
    return "Incorrect class name";
  }
  std::vector<GUID> guids(count);
  if (!SetupDiClassGuidsFromNameA(name.c_str(), guids.data(), count, &count)) {
    return SystemErrorText(GetLastError());
  }
  classGUID.assign(guids.size(), GUID_Storage{});
  for (std::size_t i = 0; i < guids.size(); ++i) {
    classGUID[i].CopyFromThisPTR(&guids[i]);
  }
  return std::string(kStatusOk);
}

std::string SetupApiDeviceSource::GetNameByGUID(const GUID_Storage& classGUID, std::string& className) {
  className.clear();
  GUID guid;
  classGUID.CopyToThisPTR(&guid);
  wchar_t buffer[500];
  std::wmemset(buffer, L' ', 500);
  if (!SetupDiClassNameFromGuidW(&guid, buffer, 500, nullptr)) {
    return SystemErrorText(GetLastError());
  }
  className = TrimBlanks(StrTrimToNull(Narrow(buffer, 500)));
  return std::string(kStatusOk);
}

std::string SetupApiDeviceSource::GetNameByGUID2(const GUID_Storage& classGUID, std::string& className) {
  className.clear();
  GUID guid;
  classGUID.CopyToThisPTR(&guid);
  DWORD required = 0;
  SetupDiClassNameFromGuidW(&guid, nullptr, 0, &required);
  if (required == 0) {
    return "Class not found";
  }
  std::vector<wchar_t> buffer(required, L' ');
  if (!SetupDiClassNameFromGuidW(&guid, buffer.data(), required, nullptr)) {
    return SystemErrorText(GetLastError());
  }
  className = Narrow(buffer.data(), buffer.size());  // the terminating NUL included
  return std::string(kStatusOk);
}

std::string SetupApiDeviceSource::AddToList(const GUID_Storage* classID, bool bOnlyPresent,
                                            std::vector<DevInfo_Storage>& list) {
  std::string status(kStatusOk);
  GUID guid{};
  DWORD flags = 0;
  if (classID != nullptr) {
    classID->CopyToThisPTR(&guid);
    flags = bOnlyPresent ? DIGCF_PRESENT : 0;
  } else {
    flags = bOnlyPresent ? (DIGCF_PRESENT | DIGCF_ALLCLASSES) : DIGCF_ALLCLASSES;
  }
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, flags);
  if (set == INVALID_HANDLE_VALUE) {
    return "(BAD HANDLE) " + SystemErrorText(GetLastError());
  }
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(SP_DEVINFO_DATA);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
    DevInfo_Storage info;
    info.Info_ClassGUID.CopyFromThisPTR(&device.ClassGuid);
    info.Info_DevInst = device.DevInst;
    const struct {
      DWORD Code;
      const char* Name;
      std::string DevInfo_Storage::*Field;
    } properties[] = {{kDeviceDescCode, "SPDRP_DEVICEDESC", &DevInfo_Storage::SPDRP_DEVICEDESC},
                      {kFriendlyNameCode, "SPDRP_FRIENDLYNAME", &DevInfo_Storage::SPDRP_FRIENDLYNAME},
                      {kClassCode, "SPDRP_CLASS", &DevInfo_Storage::SPDRP_CLASS}};
    for (const auto& property : properties) {
      PropertyRead read = GetDeviceProperty(set, device, property.Code);
      if (read.Status == kStatusOk) {
        info.*property.Field = std::move(read.Text);
        status = std::string(kStatusOk);
      } else {
        status = std::string(property.Name) + " " + read.Status;
      }
    }
    list.push_back(std::move(info));
  }
  SetupDiDestroyDeviceInfoList(set);
  return status;
}

std::optional<ports::ListProblem> SetupApiDeviceSource::ListPorts(std::vector<ports::PortDevice>& ports) {
  std::vector<GUID_Storage> classGuid;
  std::string status = GetGUIDByName("Ports", classGuid);
  if (status != kStatusOk) {
    return ports::ListProblem{"Error Finding 'Ports' GUID", status};
  }
  std::vector<DevInfo_Storage> devices;
  status = AddToList(&classGuid.front(), true, devices);
  if (status != kStatusOk) {
    return ports::ListProblem{"Error Getting Device List", status};
  }
  for (const DevInfo_Storage& device : devices) {
    const std::string name = device.GetName();
    const std::int16_t number = ports::ComPortList::PortNumberFromList(name);
    ports.push_back({number, number > 0 ? "COM" + std::to_string(number) : std::string(), name});
  }
  Named.AppendTo(ports);
  return std::nullopt;
}

std::int16_t SetupApiDeviceSource::AddUserPort(const std::string& path) {
  if (path.size() > 3 && (path.rfind("COM", 0) == 0 || path.rfind("com", 0) == 0) &&
      std::all_of(path.begin() + 3, path.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
      path.size() <= 6) {
    return static_cast<std::int16_t>(std::stoi(path.substr(3)));
  }
  // A number no port of the system has: a real COM200 keeps its own.
  std::set<std::int16_t> taken;
  std::vector<GUID_Storage> guid;
  std::vector<DevInfo_Storage> devices;
  if (GetGUIDByName("Ports", guid) == kStatusOk && !guid.empty()) {
    AddToList(&guid.front(), false, devices);
  }
  for (const DevInfo_Storage& device : devices) {
    taken.insert(ports::ComPortList::PortNumberFromList(device.GetName()));
  }
  return Named.Add(path, taken);
}

std::string SetupApiDeviceSource::DevicePath(std::int16_t comNumber) const {
  const std::string named = Named.PathOf(comNumber);
  if (!named.empty()) {
    return named;
  }
  return comNumber > 0 ? "COM" + std::to_string(comNumber) : std::string();
}

}  // namespace korvani::platform
