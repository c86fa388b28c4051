// SPDX-License-Identifier: GPL-3.0-or-later
// Windows: the shell's folder browser, opened on a starting folder.
#pragma once

#include <string>
#include <string_view>

namespace korvani::platform {

// The chosen folder's full path (UTF-8), or empty when cancelled or not a file-system folder.
std::string BrowseForFolder(std::string_view prompt, std::string_view startingFolder, bool newStyle);

}  // namespace korvani::platform
