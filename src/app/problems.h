// SPDX-License-Identifier: GPL-3.0-or-later
// The program's warning box with its varying titles, and folder creation that reports each
// feature's failure once.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "base/dialogs.h"

namespace korvani::app {

class Problems {
 public:
  static constexpr std::array<std::string_view, 12> kTitles = {"All is not well",
                                                               "You have a problem",
                                                               "Don't panic but..",
                                                               "We have a problem, Housten!",
                                                               "Oops!",
                                                               "Hmm....",
                                                               "Oh dear!",
                                                               "A slight problem here",
                                                               "I hate to say this but ...",
                                                               "There's room for improvement here....",
                                                               "You ought to know that ...",
                                                               "No need for alarm. However ..."};

  // `random` gives numbers in [0, 1).
  Problems(base::Dialogs& dialogs, std::function<double()> random);

  void ShowProblem(std::string_view message);
  bool CreatePath(const std::string& path, const std::string& feature, const std::string& code);
  static bool FolderExists(const std::string& path);

  std::string ReportedPathFailures;

 private:
  void ReportPathFailure(const std::string& path, const std::string& feature, const std::string& code);

  base::Dialogs& Dialogs;
  std::function<double()> Random;
};

}  // namespace korvani::app
