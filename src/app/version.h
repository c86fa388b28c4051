// SPDX-License-Identifier: GPL-3.0-or-later
// The program's version, from the build's project version.
#pragma once

#include <cstdio>
#include <string>

namespace korvani::app {

inline constexpr int kVersionMajor = KORVANI_VERSION_MAJOR;
inline constexpr int kVersionMinor = KORVANI_VERSION_MINOR;
inline constexpr int kVersionBuild = KORVANI_VERSION_BUILD;

// "V1.3 build 020": the build number has at least three digits.
inline std::string VersionText(int major = kVersionMajor, int minor = kVersionMinor,
                               int build = kVersionBuild) {
  char text[48];
  std::snprintf(text, sizeof text, "V%d.%d build %03d", major, minor, build);
  return text;
}

// Who holds the copyright, the licence, and the warranty there is not: --version and the
// About box print it under the version.
inline constexpr const char* kLicenceText =
    "Copyright 2026 The Korvani developers\n"
    "Licence GPL-3.0-or-later: the GNU General Public License, version 3 or any later version\n"
    "<https://www.gnu.org/licenses/gpl-3.0.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.";

// The main window's caption.
inline std::string WindowCaption() {
  return "Korvani standalone " + VersionText() + "      Vexel Vavadivu";
}

}  // namespace korvani::app
