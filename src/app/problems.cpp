// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/problems.h"

#include <filesystem>
#include <vector>

#include "base/files.h"

namespace korvani::app {

Problems::Problems(base::Dialogs& dialogs, std::function<double()> random)
    : Dialogs(dialogs), Random(std::move(random)) {}

void Problems::ShowProblem(std::string_view message) {
  auto k = static_cast<std::size_t>(Random() * static_cast<double>(kTitles.size()));
  k = k < kTitles.size() ? k : kTitles.size() - 1;
  Dialogs.Beep();
  Dialogs.ShowMessage(message, kTitles[k], base::MessageIcon::Exclamation, base::MessageButtons::Ok);
}

bool Problems::FolderExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(base::Utf8Path(path), error);
}

bool Problems::CreatePath(const std::string& path, const std::string& feature, const std::string& code) {
  if (FolderExists(path)) {
    return true;
  }
  std::string p = path;
  if (!p.empty() && base::IsPathSeparator(p.back())) {
    p.pop_back();
  }
  std::vector<std::string> missing;  // deepest first
  do {
    std::size_t at = std::string::npos;
    for (std::size_t i = p.size(); i-- > 1;) {
      if (base::IsPathSeparator(p[i])) {
        at = i;
        break;
      }
    }
    if (at == std::string::npos) {
      ReportPathFailure(path, feature, code);
      return false;
    }
    missing.push_back(p.substr(at));
    p.erase(at);
  } while (!FolderExists(p));
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    p += *level;
    std::error_code error;
    if (!std::filesystem::create_directory(base::Utf8Path(p), error) && !FolderExists(p)) {
      ReportPathFailure(path, feature, code);
      return false;
    }
  }
  return true;
}

void Problems::ReportPathFailure(const std::string& path, const std::string& feature,
                                 const std::string& code) {
  const std::string entry = "|" + feature + "|";
  if (ReportedPathFailures.find(entry) != std::string::npos) {
    return;
  }
  ReportedPathFailures += entry;
  Dialogs.ShowMessage(
      "Unable to create a folder " + path + "\r\nfor " + feature + ".\r\nPlease report error code " + code +
          " to Vexel Vavadivu. \r\n\r\nIt will help us if you can include details of your operating "
          "system, e.g. Win7/64-bit.\r\nand the program version number \r\n\r\nThe program will now "
          "attempt to continue to operate without the affected feature.\r\n\r\nThis problem appears to "
          "be caused by differences between versions of Windows and different\r\nuser permission "
          "levels.",
      "Path creation error", base::MessageIcon::None, base::MessageButtons::Ok);
}

}  // namespace korvani::app
