// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/browse_for_folder.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <vector>

namespace korvani::platform {

namespace {

std::wstring Wide(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) {
    return {};
  }
  std::string narrow(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

// Once the browser is up, it is told to select the starting folder.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*parameter*/, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  }
  return 0;
}

}  // namespace

std::string BrowseForFolder(std::string_view prompt, std::string_view startingFolder, bool newStyle) {
  const std::wstring title = Wide(prompt);
  std::wstring start = Wide(startingFolder);  // lives while the browser is open

  BROWSEINFOW info{};
  info.hwndOwner = GetForegroundWindow();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | (newStyle ? BIF_NEWDIALOGSTYLE : 0U);
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(start.c_str());

  std::string result;
  if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info)) {
    std::vector<wchar_t> path(MAX_PATH + 1, L'\0');
    if (SHGetPathFromIDListW(item, path.data())) {
      result = Narrow(path.data());
    }
    CoTaskMemFree(item);
  }
  return result;
}

}  // namespace korvani::platform
