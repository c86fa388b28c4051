// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripting/headless_views.h"

#include "base/text.h"

namespace korvani::scripting {

void HeadlessView::Tell(std::string_view problem) {
  if (base::TrimBlanks(problem).empty() || problem == Said) {
    return;  // a cleared problem, or the same one again
  }
  Said.assign(problem);
  if (Problem) {
    Problem(problem);
  }
}

base::MessageResult HeadlessDialogs::ShowMessage(std::string_view text, std::string_view title,
                                                 base::MessageIcon /*icon*/, base::MessageButtons buttons) {
  if (Problem) {
    std::string told(title);
    told += ": ";
    for (const char c : text) {
      told += c == '\r' ? ' ' : c == '\n' ? ' ' : c;  // one line
    }
    Problem(told);
  }
  switch (buttons) {
    case base::MessageButtons::Ok:
      return base::MessageResult::Ok;
    case base::MessageButtons::OkCancel:
      return base::MessageResult::Cancel;
    case base::MessageButtons::YesNo:
      break;
  }
  return base::MessageResult::No;
}

}  // namespace korvani::scripting
