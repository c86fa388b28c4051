// SPDX-License-Identifier: GPL-3.0-or-later
// The board asks the operator for a number ("T"): a prompt with the limits, an entry box
// that takes digits only, and the answer sent back with the board's reply tag.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/dialogs.h"
#include "hmi/link/arguments.h"

namespace korvani::hmi::screen {

class DataEntryView {
 public:
  virtual ~DataEntryView() = default;
  virtual void SetEntryPrompt(std::string_view prompt) = 0;  // lblHMIDataEntryPrompt, plain text
  virtual void SetEntryFrameVisible(bool visible) = 0;       // fraUserDataInput
  virtual void SetEntryText(std::string_view text) = 0;      // txtHMIDataEntry
  [[nodiscard]] virtual std::string EntryText() const = 0;
  virtual void FocusEntry() = 0;
};

class DataEntry {
 public:
  // `send` hands the answer to the board; `eot` and `enq` frame it (the screen's framing).
  DataEntry(DataEntryView& view, base::Dialogs& dialogs, std::function<void(std::string_view)> send);

  void AskForNumber(const link::Arguments& a);
  // Returns false when the key is to be discarded. Enter runs OK.
  bool FilterKey(int keyCode);
  // Whether the box may hold this text after an edit that bypassed the key filter (a paste
  // or a drop): digits only, with blanks around them. Anything else is refused whole with
  // RefuseEdit, so the box never shows or sends a number other than the one entered.
  [[nodiscard]] bool EntryTextAllowed(std::string_view text) const;
  void RefuseEdit();
  void Accept();
  void Cancel();
  // A script's answer to the prompt, checked as typed text is: "" when it went to the board,
  // else why not (no message box: the script is told).
  std::string Answer(std::string_view value);

  std::string EntryReplyTag;
  std::string EntryMinimum;
  std::string EntryMaximum;
  std::string EntryAllowedKeys;

 private:
  void Refuse(std::string_view text);
  // The entered number to the board, and the prompt put away.
  void SendAnswer(const std::string& entered);
  // Why an entered number is outside the prompt's limits, or "".
  [[nodiscard]] std::string OutOfRange(const std::string& entered) const;

  DataEntryView& View;
  base::Dialogs& Dialogs;
  std::function<void(std::string_view)> Send;
  bool Asking = false;  // a prompt is shown and not yet answered
};

}  // namespace korvani::hmi::screen
