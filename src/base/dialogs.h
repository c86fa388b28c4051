// Modal message boxes and the beep, as the program's rules ask for them.
#pragma once

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
};

}  // namespace korvani::base
