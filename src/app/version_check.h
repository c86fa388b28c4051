// SPDX-License-Identifier: GPL-3.0-or-later
// At start-up the product page is fetched; when it announces a newer build, the user is
// offered the download page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/dialogs.h"

namespace korvani::app {

// The build number the page announces ("1.03.0025" gives 25), or -1 without two dots.
std::int32_t LatestBuildFrom(std::string_view page);
// The question asked when a newer build is out.
std::string UpdateQuestion(std::string_view localVersion, std::string_view page);

class VersionCheck {
 public:
  using Fetch = std::function<void(const std::string& url, std::function<void(std::string page)> completed)>;

  VersionCheck(base::Dialogs& dialogs, Fetch fetch, std::function<void(const std::string&)> openWebPage,
               std::string productUrl);

  // One GET of the product page; the answer arrives later.
  void Start();
  // A completed answer; failures never arrive here.
  void PageArrived(std::string_view page);

 private:
  base::Dialogs& Dialogs;
  Fetch FetchPage;
  std::function<void(const std::string&)> OpenWebPage;
  std::string ProductUrl;
};

}  // namespace korvani::app
