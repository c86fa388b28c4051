// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file's 16 lines in one table: each line's kind and range, where its value
// lives, how a session takes it at start-up and gives it back at close. Reading, writing and
// applying the file all walk this table; a new line is one entry here.
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>

#include "app/session.h"
#include "app/settings.h"
#include "base/ansi_text.h"
#include "base/numbers.h"

namespace korvani::app {

namespace {

// Where a line's value lives in the values: a number, a name or text, or a tick.
using Slot = std::variant<std::int16_t*, std::string*, bool*>;

struct SettingsLine {
  Slot (*At)(SettingsValues& values);
  bool IsName = false;  // a folder or file name: UTF-8, or the ANSI an earlier program wrote
  std::int16_t Least = std::numeric_limits<std::int16_t>::min();
  std::int16_t Most = std::numeric_limits<std::int16_t>::max();
  void (*Apply)(Session& session, const SettingsValues& values);
  void (*Give)(Session& session, SettingsValues& values);
};

// Speed and format are recorded as a click would, but the port number stays the one from
// line 1: the list may name no port yet, and reading it now would forget it.
void ApplyQuickChoice(Session& session, const SettingsValues& values, bool speed) {
  ports::LineSettings settings = session.Connection().Line();
  if (speed) {
    ports::ApplyQuickBaud(settings, values.BaudIndex);
  } else {
    ports::ApplyQuickFormat(settings, values.CharIndex);
  }
  session.Connection().LoadLine(settings);
}

template <std::size_t Index>
SettingsLine TxLine() {
  return {[](SettingsValues& v) -> Slot { return &v.TxLines[Index]; },
          false,
          0,
          0,
          [](Session& s, const SettingsValues& v) {
            s.Transmit().LoadLine(static_cast<int>(Index), v.TxLines[Index]);
            s.ShownIn().Terminal.SetTxLine(static_cast<int>(Index), s.Transmit().Lines()[Index]);
          },
          [](Session& s, SettingsValues& v) { v.TxLines[Index] = s.Transmit().Lines()[Index]; }};
}

const std::array<SettingsLine, kSettingsLines>& Table() {
  static const std::array<SettingsLine, kSettingsLines> kLines = {{
      {[](SettingsValues& v) -> Slot { return &v.ComPortNumber; }, false,
       std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(),
       [](Session& s, const SettingsValues& v) { s.Connection().SetPortNumber(v.ComPortNumber); },
       [](Session& s, SettingsValues& v) { v.ComPortNumber = s.Connection().PortNumber(); }},
      // A speed or format that is none of the quick choices is recorded as the nearest of
      // them; the line settings file holds it exactly.
      {[](SettingsValues& v) -> Slot { return &v.BaudIndex; }, false, 0, 7,
       [](Session& s, const SettingsValues& v) { ApplyQuickChoice(s, v, true); },
       [](Session& s, SettingsValues& v) {
         v.BaudIndex = ports::NearestQuickBaudIndex(s.Connection().Line().Baud);
       }},
      {[](SettingsValues& v) -> Slot { return &v.CharIndex; }, false, 0, 4,
       [](Session& s, const SettingsValues& v) { ApplyQuickChoice(s, v, false); },
       [](Session& s, SettingsValues& v) {
         v.CharIndex = ports::NearestQuickFormatIndex(s.Connection().Line());
       }},
      {[](SettingsValues& v) -> Slot { return &v.LogFolder; }, true, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.LogFiles().SetLogFolder(v.LogFolder);
         s.ShownIn().Settings.ShowLogFolder(v.LogFolder);
       },
       [](Session& s, SettingsValues& v) { v.LogFolder = s.LogFiles().MyLogFolder(); }},
      {[](SettingsValues& v) -> Slot { return &v.TraceFileName; }, true, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.ScreenLog().SetTraceFileName(v.TraceFileName);
         s.ShownIn().Settings.SetTraceFileName(v.TraceFileName);
       },
       [](Session& s, SettingsValues& v) { v.TraceFileName = s.ScreenLog().TraceFileName(); }},
      {[](SettingsValues& v) -> Slot { return &v.AsciiLogFileName; }, true, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.Receive().SetAsciiLogFileName(v.AsciiLogFileName);
         s.ShownIn().Settings.SetAsciiLogFileName(v.AsciiLogFileName);
       },
       [](Session& s, SettingsValues& v) {
         v.AsciiLogFileName = s.Receive().LogSettingsView().AsciiFileName;
       }},
      {[](SettingsValues& v) -> Slot { return &v.HexLogFileName; }, true, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.Receive().SetHexLogFileName(v.HexLogFileName);
         s.ShownIn().Settings.SetHexLogFileName(v.HexLogFileName);
       },
       [](Session& s, SettingsValues& v) { v.HexLogFileName = s.Receive().LogSettingsView().HexFileName; }},
      {[](SettingsValues& v) -> Slot { return &v.TraceToDisk; }, false, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.ScreenLog().SetTraceToDisk(v.TraceToDisk);
         s.ShownIn().Screen.SetCheckBox(SettingsCheck::TraceToDisk, v.TraceToDisk);
       },
       [](Session& s, SettingsValues& v) { v.TraceToDisk = s.ScreenLog().TraceToDiskChecked(); }},
      {[](SettingsValues& v) -> Slot { return &v.LogAscii; }, false, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.Receive().SetAsciiLogging(v.LogAscii);
         s.ShownIn().Terminal.SetCheckBox(SettingsCheck::LogAscii, v.LogAscii);
       },
       [](Session& s, SettingsValues& v) { v.LogAscii = s.Receive().LogSettingsView().LogAscii; }},
      {[](SettingsValues& v) -> Slot { return &v.LogHex; }, false, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.Receive().SetHexLogging(v.LogHex);
         s.ShownIn().Terminal.SetCheckBox(SettingsCheck::LogHex, v.LogHex);
       },
       [](Session& s, SettingsValues& v) { v.LogHex = s.Receive().LogSettingsView().LogHex; }},
      TxLine<0>(),
      TxLine<1>(),
      TxLine<2>(),
      TxLine<3>(),
      TxLine<4>(),
      {[](SettingsValues& v) -> Slot { return &v.LogSent; }, false, 0, 0,
       [](Session& s, const SettingsValues& v) {
         s.Transmit().SetLogSent(v.LogSent);
         s.ShownIn().Terminal.SetCheckBox(SettingsCheck::LogSent, v.LogSent);
       },
       [](Session& s, SettingsValues& v) { v.LogSent = s.Transmit().LogSent(); }},
  }};
  return kLines;
}

const SettingsLine* LineAt(int line) {
  return line >= 1 && line <= kSettingsLines ? &Table()[static_cast<std::size_t>(line - 1)] : nullptr;
}

std::string NumberLine(int value) {
  return (value < 0 ? "" : " ") + std::to_string(value) + " ";  // the sign takes the leading space
}

// A folder or file name: UTF-8, or else the ANSI text an earlier Windows program wrote.
std::string ReadName(SettingsValues& values, std::string_view text) {
  if (base::IsUtf8(text)) {
    return std::string(text);
  }
  values.NamesInAnsi = true;
  return base::AnsiToUtf8(text);
}

std::string NameLine(const SettingsValues& values, const std::string& name) {
  if (values.NamesInAnsi) {
    // Only where the ANSI bytes cannot be taken for UTF-8 of another name when read again.
    const auto ansi = base::Utf8ToAnsi(name);
    if (ansi && (!base::IsUtf8(*ansi) || *ansi == name)) {
      return *ansi;
    }
  }
  return name;  // UTF-8, which reads back the same
}

}  // namespace

bool ApplySettingsLine(SettingsValues& values, int line, std::string_view text) {
  const SettingsLine* entry = LineAt(line);
  if (entry == nullptr) {
    return false;
  }
  const Slot slot = entry->At(values);
  if (auto* const* number = std::get_if<std::int16_t*>(&slot)) {
    std::int16_t read = 0;
    if (!ReadSettingsNumber(text, read) || read < entry->Least || read > entry->Most) {
      return false;
    }
    **number = read;
    return true;
  }
  if (auto* const* ticked = std::get_if<bool*>(&slot)) {
    return ReadSettingsCheck(text, **ticked);
  }
  std::string& kept = *std::get<std::string*>(slot);
  kept = entry->IsName ? ReadName(values, text) : std::string(text);
  return true;
}

std::string FormatSettings(const SettingsValues& values) {
  std::string text;
  SettingsValues slots = values;  // the slots are reached through a copy, the values untouched
  for (const SettingsLine& entry : Table()) {
    const Slot slot = entry.At(slots);
    if (auto* const* number = std::get_if<std::int16_t*>(&slot)) {
      text += NumberLine(**number);
    } else if (auto* const* ticked = std::get_if<bool*>(&slot)) {
      text += NumberLine(**ticked ? 1 : 0);
    } else {
      const std::string& kept = *std::get<std::string*>(slot);
      text += entry.IsName ? NameLine(values, kept) : kept;
    }
    text += "\r\n";
  }
  return text;
}

void ApplySettingToSession(Session& session, int line, const SettingsValues& values) {
  if (const SettingsLine* entry = LineAt(line)) {
    entry->Apply(session, values);
  }
}

SettingsValues SessionSettings(Session& session) {
  SettingsValues values;
  for (const SettingsLine& entry : Table()) {
    entry.Give(session, values);
  }
  return values;
}

}  // namespace korvani::app
