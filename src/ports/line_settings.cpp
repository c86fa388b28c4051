// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/line_settings.h"

#include <cmath>

#include "base/numbers.h"
#include "base/text.h"

namespace korvani::ports {

namespace {

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsParity(char c) {
  return c == 'N' || c == 'E' || c == 'O' || c == 'M' || c == 'S';
}

bool IsStopBits(std::string_view text) {
  return text == "1" || text == "1.5" || text == "2";
}

std::string Lower(std::string_view text) {
  std::string lower;
  for (const char c : base::TrimBlanks(text)) {
    lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return lower;
}

std::string OnOffName(bool on) {
  return on ? "on" : "off";
}

}  // namespace

std::optional<std::int32_t> ParseBaud(std::string_view text) {
  const std::optional<std::int64_t> baud = base::StrictWholeNumber(text, kLowestBaud, kHighestBaud);
  if (!baud) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*baud);
}

bool ParseFormat(std::string_view text, LineSettings& line) {
  text = base::TrimBlanks(text);
  if (text.size() < 3 || text[0] < '5' || text[0] > '8' || !IsParity(Upper(text[1])) ||
      !IsStopBits(text.substr(2))) {
    return false;
  }
  line.DataBits = static_cast<std::int16_t>(text[0] - '0');
  line.Parity = Upper(text[1]);
  line.StopBits = std::string(text.substr(2));
  return true;
}

std::optional<FlowControl> ParseFlow(std::string_view text) {
  const std::string lower = Lower(text);
  for (const FlowControl flow : {FlowControl::None, FlowControl::RtsCts, FlowControl::XonXoff}) {
    if (lower == FlowName(flow)) {
      return flow;
    }
  }
  return std::nullopt;
}

std::string_view FlowName(FlowControl flow) {
  switch (flow) {
    case FlowControl::RtsCts:
      return "rtscts";
    case FlowControl::XonXoff:
      return "xonxoff";
    case FlowControl::None:
      break;
  }
  return "none";
}

std::optional<bool> ParseOnOff(std::string_view text) {
  const std::string lower = Lower(text);
  if (lower == "on" || lower == "off") {
    return lower == "on";
  }
  return std::nullopt;
}

std::string TakeLineOption(std::string_view option, std::string_view value, LineOptions& options) {
  // A refused value leaves what was taken before as it was.
  const std::string named = std::string(option) + " " + std::string(value);
  if (option == "--baud") {
    const std::optional<std::int32_t> baud = ParseBaud(value);
    if (!baud) {
      return named + ": the speed is a whole number of baud from 1 to 100000000, for example --baud 115200";
    }
    options.Baud = baud;
    return "";
  }
  if (option == "--format") {
    LineSettings check;
    if (!ParseFormat(value, check)) {
      return named +
             ": the format is data bits 5 to 8, parity N, E, O, M or S, stop bits 1, 1.5 or 2, for example "
             "--format 8N1";
    }
    options.Format = std::string(value);
    return "";
  }
  if (option == "--flow") {
    const std::optional<FlowControl> flow = ParseFlow(value);
    if (!flow) {
      return named + ": flow control is none, rtscts or xonxoff";
    }
    options.Flow = flow;
    return "";
  }
  if (option == "--dtr" || option == "--rts") {
    const std::optional<bool> state = ParseOnOff(value);
    if (!state) {
      return named + ": the line's state on open is on or off";
    }
    (option == "--dtr" ? options.Dtr : options.Rts) = state;
    return "";
  }
  return named + ": not a line option";
}

void ApplyLineOptions(const LineOptions& options, LineSettings& line) {
  if (options.Baud) {
    line.Baud = *options.Baud;
  }
  if (options.Format) {
    ParseFormat(*options.Format, line);
  }
  if (options.Flow) {
    line.Flow = *options.Flow;
  }
  if (options.Dtr) {
    line.DtrOnOpen = *options.Dtr;
  }
  if (options.Rts) {
    line.RtsOnOpen = *options.Rts;
  }
}

std::string SettingsText(const LineSettings& line) {
  return std::to_string(line.Baud) + "," + std::string(1, line.Parity) + "," + std::to_string(line.DataBits) +
         "," + line.StopBits;
}

std::string_view FlowSuffix(FlowControl flow) {
  switch (flow) {
    case FlowControl::RtsCts:
      return " RTS/CTS";
    case FlowControl::XonXoff:
      return " XON/XOFF";
    case FlowControl::None:
      break;
  }
  return {};
}

std::int16_t QuickBaudIndex(std::int32_t baud) {
  for (std::size_t i = 0; i < kQuickBauds.size(); ++i) {
    if (kQuickBauds[i] == baud) {
      return static_cast<std::int16_t>(i);
    }
  }
  return -1;
}

std::int16_t QuickFormatIndex(const LineSettings& line) {
  if (line.StopBits != "1") {
    return -1;
  }
  for (std::size_t i = 0; i < kQuickFormats.size(); ++i) {
    if (kQuickFormats[i].Parity == line.Parity && kQuickFormats[i].DataBits == line.DataBits) {
      return static_cast<std::int16_t>(i);
    }
  }
  return -1;
}

std::int16_t NearestQuickBaudIndex(std::int32_t baud) {
  // Nearest by ratio: 57600 is nearer 38400 than any other, 250 nearer 300.
  std::int16_t nearest = 0;
  double best = 1e9;
  for (std::size_t i = 0; i < kQuickBauds.size(); ++i) {
    const double distance = std::fabs(std::log(static_cast<double>(baud) / kQuickBauds[i]));
    if (distance < best) {
      best = distance;
      nearest = static_cast<std::int16_t>(i);
    }
  }
  return nearest;
}

std::int16_t NearestQuickFormatIndex(const LineSettings& line) {
  // The same parity where a quick format has it, with its data bits as near as they come;
  // mark, space and no parity are nearest to N,8,1.
  const bool seven = line.DataBits <= 7;
  switch (line.Parity) {
    case 'E':
      return seven ? 1 : 3;
    case 'O':
      return seven ? 2 : 4;
    default:
      return 0;
  }
}

void ApplyQuickBaud(LineSettings& line, std::int16_t index) {
  line.Baud = kQuickBauds.at(static_cast<std::size_t>(index));
}

void ApplyQuickFormat(LineSettings& line, std::int16_t index) {
  const QuickFormat& format = kQuickFormats.at(static_cast<std::size_t>(index));
  line.Parity = format.Parity;
  line.DataBits = format.DataBits;
  line.StopBits = "1";
}

std::string FormatLineSettingsFile(const LineSettingsRecord& record) {
  const LineSettings& line = record.Line;
  std::string text = "# Korvani line settings, version 1\n";
  const auto add = [&text](std::string_view key, const std::string& value) {
    text += std::string(key) + "=" + value + "\n";
  };
  add("baud", std::to_string(line.Baud));
  add("data_bits", std::to_string(line.DataBits));
  add("parity", std::string(1, line.Parity));
  add("stop_bits", line.StopBits);
  add("flow", std::string(FlowName(line.Flow)));
  add("dtr_on_open", OnOffName(line.DtrOnOpen));
  add("rts_on_open", OnOffName(line.RtsOnOpen));
  add("quick_baud", std::to_string(record.BaudIndexWritten));
  add("quick_format", std::to_string(record.FormatIndexWritten));
  return text;
}

bool ReadLineSettingsFile(std::string_view text, LineSettingsRecord& record) {
  const base::KeyValues values = base::ReadKeyValueLines(text);
  const auto value = [&values](std::string_view key) -> const std::string* {
    const auto found = values.find(key);
    return found == values.end() ? nullptr : &found->second;
  };
  for (const char* key : {"baud", "data_bits", "parity", "stop_bits", "flow", "dtr_on_open", "rts_on_open",
                          "quick_baud", "quick_format"}) {
    if (value(key) == nullptr) {
      return false;
    }
  }
  LineSettingsRecord read;
  const std::optional<std::int32_t> baud = ParseBaud(*value("baud"));
  const std::string& data = *value("data_bits");
  const std::string& parity = *value("parity");
  const std::optional<FlowControl> flow = ParseFlow(*value("flow"));
  const std::optional<bool> dtr = ParseOnOff(*value("dtr_on_open"));
  const std::optional<bool> rts = ParseOnOff(*value("rts_on_open"));
  if (!baud || !flow || !dtr || !rts || data.size() != 1 || parity.size() != 1 ||
      !ParseFormat(data + parity + *value("stop_bits"), read.Line)) {
    return false;
  }
  read.Line.Baud = *baud;
  read.Line.Flow = *flow;
  read.Line.DtrOnOpen = *dtr;
  read.Line.RtsOnOpen = *rts;
  const auto index = [&value](std::string_view key, std::size_t count, std::int16_t& out) {
    const std::string& digit = *value(key);
    if (digit.size() != 1 || digit[0] < '0' || static_cast<std::size_t>(digit[0] - '0') >= count) {
      return false;
    }
    out = static_cast<std::int16_t>(digit[0] - '0');
    return true;
  };
  if (!index("quick_baud", kQuickBauds.size(), read.BaudIndexWritten) ||
      !index("quick_format", kQuickFormats.size(), read.FormatIndexWritten)) {
    return false;
  }
  record = read;
  return true;
}

LineSettings WithChoices(LineSettings line, int dataBits, int parity, int stopBits, int flow,
                         int linesOnOpen) {
  line.DataBits = kDataBitsChoices.at(static_cast<std::size_t>(dataBits)).Of;
  line.Parity = kParityChoices.at(static_cast<std::size_t>(parity)).Of;
  line.StopBits = std::string(kStopBitsChoices.at(static_cast<std::size_t>(stopBits)).Of);
  line.Flow = kFlowChoices.at(static_cast<std::size_t>(flow)).Of;
  const LinesOnOpen onOpen = kLinesOnOpenChoices.at(static_cast<std::size_t>(linesOnOpen)).Of;
  line.DtrOnOpen = onOpen.Dtr;
  line.RtsOnOpen = onOpen.Rts;
  return line;
}

std::array<int, 5> ChoicePositions(const LineSettings& line) {
  return {ChoiceIndex(kDataBitsChoices, line.DataBits), ChoiceIndex(kParityChoices, line.Parity),
          ChoiceIndex(kStopBitsChoices, std::string_view(line.StopBits)),
          ChoiceIndex(kFlowChoices, line.Flow),
          ChoiceIndex(kLinesOnOpenChoices, LinesOnOpen{line.DtrOnOpen, line.RtsOnOpen})};
}

}  // namespace korvani::ports
