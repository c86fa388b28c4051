// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/guid_storage.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace korvani::platform {

namespace {
std::string Hex(std::uint32_t value, std::int16_t digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return GUID_Storage::PadStr(text, digits, '0');
}

std::size_t CheckedIndex(int index) {
  if (index < 0 || index > 7) {
    throw std::out_of_range("Data4 index outside 0 to 7");
  }
  return static_cast<std::size_t>(index);
}
}  // namespace

std::uint8_t GUID_Storage::Data4(int index) const {
  return Bytes.Data4[CheckedIndex(index)];
}

void GUID_Storage::Data4(int index, std::uint8_t value) {
  Bytes.Data4[CheckedIndex(index)] = value;
}

void GUID_Storage::CopyFromThisPTR(const void* ptrToSrcGUID) {
  std::memcpy(&Bytes, ptrToSrcGUID, kSize);
}

void GUID_Storage::CopyToThisPTR(void* ptrToDstGUID) const {
  std::memcpy(ptrToDstGUID, &Bytes, kSize);
}

bool GUID_Storage::IsEqual(const GUID_Storage& other) const {
  return Bytes.Data1 == other.Bytes.Data1 && Bytes.Data2 == other.Bytes.Data2 &&
         Bytes.Data3 == other.Bytes.Data3 && std::memcmp(Bytes.Data4, other.Bytes.Data4, 8) == 0;
}

std::string GUID_Storage::ToString(std::string_view delim) const {
  std::string text = Hex(Bytes.Data1, 8);
  text += delim;
  text += Hex(Bytes.Data2, 4);
  text += delim;
  text += Hex(Bytes.Data3, 4);
  for (std::size_t i = 0; i < 8; ++i) {
    text += delim;
    text += Hex(Bytes.Data4[i], 2);
  }
  return text;
}

std::string GUID_Storage::PadStr(std::string_view input, std::int16_t size, char padChar) {
  std::string padded;
  if (static_cast<std::int64_t>(input.size()) < size) {
    padded.assign(static_cast<std::size_t>(size) - input.size(), padChar);
  }
  padded += input;
  return padded;
}

}  // namespace korvani::platform
