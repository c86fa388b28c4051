// SPDX-License-Identifier: GPL-3.0-or-later
// One 128-bit setup-class GUID in the platform's layout (Data1 to Data4, little-endian),
// contiguous so it can be copied to and from the platform's structure as a block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvani::platform {

class GUID_Storage {
 public:
  static constexpr std::size_t kSize = 16;

  [[nodiscard]] std::uint32_t Data1() const { return Bytes.Data1; }
  void Data1(std::uint32_t value) { Bytes.Data1 = value; }
  [[nodiscard]] std::uint16_t Data2() const { return Bytes.Data2; }
  void Data2(std::uint16_t value) { Bytes.Data2 = value; }
  [[nodiscard]] std::uint16_t Data3() const { return Bytes.Data3; }
  void Data3(std::uint16_t value) { Bytes.Data3 = value; }
  // Index 0 to 7; another index throws std::out_of_range.
  [[nodiscard]] std::uint8_t Data4(int index) const;
  void Data4(int index, std::uint8_t value);

  void CopyFromThisPTR(const void* ptrToSrcGUID);
  void CopyToThisPTR(void* ptrToDstGUID) const;
  void CopyFromThisClass(const GUID_Storage& other) { Bytes = other.Bytes; }
  [[nodiscard]] const void* Ptr() const { return &Bytes; }
  [[nodiscard]] void* Ptr() { return &Bytes; }
  void Clear() { Bytes = {}; }
  [[nodiscard]] bool IsEqual(const GUID_Storage& other) const;
  // Data1, Data2, Data3 and each byte of Data4 in upper-case hex, `delim` between groups.
  [[nodiscard]] std::string ToString(std::string_view delim) const;
  // `input` with `padChar` in front of it until it is `size` long.
  static std::string PadStr(std::string_view input, std::int16_t size, char padChar);

 private:
  struct Layout {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
  };
  static_assert(sizeof(Layout) == kSize);
  Layout Bytes;
};

}  // namespace korvani::platform
