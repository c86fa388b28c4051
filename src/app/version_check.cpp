// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/version_check.h"

#include <cstdio>

#include "app/version.h"
#include "base/numbers.h"

namespace korvani::app {

std::int32_t LatestBuildFrom(std::string_view page) {
  const std::size_t first = page.find('.');
  if (first == std::string_view::npos) {
    return -1;
  }
  const std::size_t second = page.find('.', first + 1);
  if (second == std::string_view::npos) {
    return -1;
  }
  // Builds past the 16-bit range still count as newer.
  return base::WholeNumber(base::LenientNumber(page.substr(second + 1)));
}

std::string UpdateQuestion(std::string_view localVersion, std::string_view page) {
  return "There is a new version of this program available\r\nYou have version " + std::string(localVersion) +
         ". The latest one is " + std::string(page) +
         "\r\n\r\n\r\n\r\nDo you want to download the new version?\r\nIf you click Yes you will be taken to "
         "the "
         "download page online where you can download the latest version\r\n\r\n";
}

VersionCheck::VersionCheck(base::Dialogs& dialogs, Fetch fetch,
                           std::function<void(const std::string&)> openWebPage, std::string productUrl)
    : Dialogs(dialogs),
      FetchPage(std::move(fetch)),
      OpenWebPage(std::move(openWebPage)),
      ProductUrl(std::move(productUrl)) {}

void VersionCheck::Start() {
  if (FetchPage && !ProductUrl.empty()) {
    FetchPage(ProductUrl, [this](const std::string& page) { PageArrived(page); });
  }
}

void VersionCheck::PageArrived(std::string_view page) {
  if (LatestBuildFrom(page) <= kVersionBuild) {
    return;
  }
  char local[32];
  std::snprintf(local, sizeof local, "%d.%d.%03d", kVersionMajor, kVersionMinor, kVersionBuild);
  const base::MessageResult answer =
      Dialogs.ShowMessage(UpdateQuestion(local, page), "Update available", base::MessageIcon::Information,
                          base::MessageButtons::YesNo);
  if (answer == base::MessageResult::Yes && OpenWebPage) {
    OpenWebPage(ProductUrl);
  }
}

}  // namespace korvani::app
