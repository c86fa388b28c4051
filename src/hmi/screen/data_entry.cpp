// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/data_entry.h"
#include "base/text.h"

#include "base/numbers.h"
#include "hmi/link/protocol.h"

namespace korvani::hmi::screen {

namespace {

constexpr std::string_view kDigits = "01234567890";
constexpr int kEnterKey = 13;
constexpr std::size_t kCheckedCharacters = 9;

}  // namespace

DataEntry::DataEntry(DataEntryView& view, base::Dialogs& dialogs, std::function<void(std::string_view)> send)
    : View(view), Dialogs(dialogs), Send(std::move(send)) {}

void DataEntry::AskForNumber(const link::Arguments& a) {
  EntryReplyTag = a[3];
  EntryMinimum = base::TrimBlanks(a[1]);
  EntryMaximum = base::TrimBlanks(a[2]);
  std::string prompt = a[0];
  if (!EntryMinimum.empty() || !EntryMaximum.empty()) {
    prompt += "\r\n";
  }
  if (!EntryMinimum.empty()) {
    prompt += "Minimum " + EntryMinimum;
  }
  if (!EntryMaximum.empty()) {
    prompt += "     Maximum " + EntryMaximum;
  }
  EntryAllowedKeys = kDigits;
  View.SetEntryPrompt(prompt);
  View.SetEntryFrameVisible(true);
  View.SetEntryText("");
  View.FocusEntry();
  Asking = true;
}

bool DataEntry::FilterKey(int keyCode) {
  if (keyCode == kEnterKey) {
    Accept();
    return false;
  }
  if (keyCode >= 32) {
    return keyCode < 256 && EntryAllowedKeys.find(static_cast<char>(keyCode)) != std::string::npos;
  }
  return true;
}

bool DataEntry::EntryTextAllowed(std::string_view text) const {
  return base::TrimBlanks(text).find_first_not_of(EntryAllowedKeys) == std::string_view::npos;
}

void DataEntry::RefuseEdit() {
  Dialogs.Beep();
}

void DataEntry::Refuse(std::string_view text) {
  Dialogs.Beep();
  Dialogs.ShowMessage(text, "Korvani", base::MessageIcon::None, base::MessageButtons::Ok);
  View.SetEntryText("");
}

void DataEntry::Accept() {
  const std::string text = View.EntryText();
  if (!EntryTextAllowed(text)) {
    RefuseEdit();  // never send a number that was not entered
    return;
  }
  const std::string entered(base::TrimBlanks(text));
  if (const std::string problem = OutOfRange(entered); !problem.empty()) {
    Refuse(problem + "\r\nPlease try again");
    return;
  }
  SendAnswer(entered);
}

void DataEntry::SendAnswer(const std::string& entered) {
  Send(link::EntryAnswer(EntryReplyTag, entered));
  View.SetEntryFrameVisible(false);
  Asking = false;
}

std::string DataEntry::Answer(std::string_view value) {
  if (!Asking) {
    return "the board has not asked for a number";
  }
  if (!EntryTextAllowed(value)) {
    return "\"" + std::string(value) + "\" is not a number the board's prompt takes (digits only)";
  }
  const std::string entered(base::TrimBlanks(value));
  if (std::string problem = OutOfRange(entered); !problem.empty()) {
    return problem;
  }
  View.SetEntryText(entered);
  SendAnswer(entered);
  return {};
}

std::string DataEntry::OutOfRange(const std::string& entered) const {
  if (entered.empty()) {
    return {};
  }
  const double value = base::LenientNumber(std::string_view(entered).substr(0, kCheckedCharacters));
  if (!EntryMinimum.empty() && base::LenientNumber(EntryMinimum) > value) {
    return "That input is less than the minimum allowed, " + EntryMinimum;
  }
  if (!EntryMaximum.empty() && base::LenientNumber(EntryMaximum) < value) {
    return "That input is more than the maximum allowed, " + EntryMaximum;
  }
  return {};
}

void DataEntry::Cancel() {
  View.SetEntryText("");
  Accept();
}

}  // namespace korvani::hmi::screen
