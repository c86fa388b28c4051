// The program's version, from the build's project version.
#pragma once

#include <cstdio>
#include <string>

namespace korvani::app {

inline constexpr int kVersionMajor = KORVANI_VERSION_MAJOR;
inline constexpr int kVersionMinor = KORVANI_VERSION_MINOR;
inline constexpr int kVersionBuild = KORVANI_VERSION_BUILD;

// "V1.3 build 020": the build number has at least three digits.
inline std::string VersionText() {
  char text[48];
  std::snprintf(text, sizeof text, "V%d.%d build %03d", kVersionMajor, kVersionMinor, kVersionBuild);
  return text;
}

// The main window's caption.
inline std::string WindowCaption() {
  return "Korvani standalone " + VersionText() + "      Vexel Vavadivu";
}

}  // namespace korvani::app
