// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/transmit_lines.h"

#include <algorithm>

#include "base/hex_notation.h"
#include "base/numbers.h"
#include "base/text.h"

namespace korvani::terminal {

TransmitLines::TransmitLines(ports::SerialPort& port, TerminalLogs& logs, TransmitView& view,
                             TimerMaker makeTimer)
    : MakeTimer(std::move(makeTimer)), Port(port), Logs(logs), View(view) {}

void TransmitLines::SetRepeat(int index, TxRepeat repeat) {
  const auto i = static_cast<std::size_t>(index);
  repeat.Ms = std::clamp(repeat.Ms, kLeastRepeatMs, kMostRepeatMs);
  Repeat.at(i) = repeat;
  if (!RepeatTimers.at(i) && repeat.On && MakeTimer) {
    RepeatTimers[i] = MakeTimer();
    RepeatTimers[i]->SetTickHandler([this, index] { RepeatTick(index); });
  }
  if (RepeatTimers[i]) {
    RepeatTimers[i]->SetInterval(repeat.Ms);
    RepeatTimers[i]->SetEnabled(repeat.On);
  }
  View.ShowRepeat(index, Repeat[i]);
}

void TransmitLines::RepeatTick(int index) {
  if (!Port.IsOpen()) {
    SetRepeat(index, {false, Repeat.at(static_cast<std::size_t>(index)).Ms});
    return;
  }
  if (Port.BytesToWrite() > 0) {
    return;  // the last one is still going out
  }
  SendLine(index);
}

std::string FormatRepeatsFile(const std::array<TxRepeat, kTxLineCount>& repeats) {
  std::string text = "# Korvani periodic send, version 1\n";
  for (std::size_t i = 0; i < repeats.size(); ++i) {
    text +=
        std::to_string(i + 1) + "=" + (repeats[i].On ? "on," : "off,") + std::to_string(repeats[i].Ms) + "\n";
  }
  return text;
}

bool ReadRepeatsFile(std::string_view text, std::array<TxRepeat, kTxLineCount>& repeats) {
  const base::KeyValues values = base::ReadKeyValueLines(text);
  std::array<TxRepeat, kTxLineCount> read;
  for (std::size_t i = 0; i < read.size(); ++i) {
    const auto found = values.find(std::to_string(i + 1));
    if (found == values.end()) {
      return false;
    }
    const std::string_view value = found->second;
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) {
      return false;
    }
    const std::string_view state = value.substr(0, comma);
    const std::optional<std::int64_t> ms =
        base::StrictWholeNumber(value.substr(comma + 1), kLeastRepeatMs, kMostRepeatMs);
    if ((state != "on" && state != "off") || !ms) {
      return false;
    }
    read[i] = {state == "on", static_cast<int>(*ms)};
  }
  repeats = read;
  return true;
}

void TransmitLines::SetLine(int index, std::string_view text) {
  Typed.at(static_cast<std::size_t>(index)).assign(text);
  UpdateCheckDisp(index);
}

std::string_view LineEndBytes(LineEnd end) {
  switch (end) {
    case LineEnd::Cr:
      return "\r";
    case LineEnd::Lf:
      return "\n";
    case LineEnd::CrLf:
      return "\r\n";
    case LineEnd::None:
      break;
  }
  return {};
}

std::string_view LineEndName(LineEnd end) {
  static constexpr std::array<std::string_view, 4> kNames = {"none", "cr", "lf", "crlf"};
  return kNames.at(static_cast<std::size_t>(end));
}

std::optional<LineEnd> LineEndNamed(std::string_view name) {
  for (const LineEnd end : kLineEnds) {
    if (LineEndName(end) == name) {
      return end;
    }
  }
  return std::nullopt;
}

void TransmitLines::SetLineEnd(LineEnd end) {
  End = end;
  View.ShowLineEnd(end);
  UpdateCheckDisp(LastShown);
}

void TransmitLines::UpdateCheckDisp(int index) {
  LastShown = index;
  View.SetCheckDisp(base::HexToAsciiString(base::ParseTxText(Typed.at(static_cast<std::size_t>(index))) +
                                           std::string(LineEndBytes(End))));
}

void TransmitLines::SendLine(int index) {
  if (MayWrite && !MayWrite()) {
    return;
  }
  const std::string& typed = Typed.at(static_cast<std::size_t>(index));
  const std::string data = base::ParseTxText(typed) + std::string(LineEndBytes(End));
  // A closed port takes nothing; the program goes on.
  if (!data.empty() && Port.Write(data) && Sent) {
    Sent(data);
  }
  if (LogSentOn) {
    Logs.LogSentLine(typed, data);
  }
}

}  // namespace korvani::terminal
