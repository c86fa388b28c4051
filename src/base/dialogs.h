// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes and the beep, as the program's rules ask for them.
#pragma once

#include <string>
#include <string_view>

namespace korvani::base {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows the box and waits until the user closes it; other events go on meanwhile.
  virtual MessageResult ShowMessage(std::string_view text, std::string_view title, MessageIcon icon,
                                    MessageButtons buttons) = 0;
  virtual void Beep() = 0;
  // A folder chosen by the user, starting at `initialFolder`; empty when cancelled.
  virtual std::string PickFolder(std::string_view prompt, std::string_view initialFolder) = 0;
  // A file name to write to, preset with `initialName`; asks before an existing file is
  // overwritten; empty when cancelled.
  virtual std::string PickSaveFile(std::string_view initialName) = 0;
  // An existing file to read, chosen under `prompt`; empty when cancelled.
  virtual std::string PickOpenFile(std::string_view prompt) = 0;
};

}  // namespace korvani::base
