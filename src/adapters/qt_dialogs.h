// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes and the beep through Qt. Texts are shown as plain text, never as markup.
#pragma once

#include <QWidget>

#include "base/dialogs.h"

namespace korvani::ui {

class QtDialogs final : public base::Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : Parent(parent) {}

  base::MessageResult ShowMessage(std::string_view text, std::string_view title, base::MessageIcon icon,
                                  base::MessageButtons buttons) override;
  void Beep() override;
  std::string PickFolder(std::string_view prompt, std::string_view initialFolder) override;
  std::string PickSaveFile(std::string_view initialName) override;
  std::string PickOpenFile(std::string_view prompt) override;

 private:
  QWidget* Parent;
};

}  // namespace korvani::ui
