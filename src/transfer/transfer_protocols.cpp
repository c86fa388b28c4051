// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/transfer_protocols.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace korvani::transfer {

namespace {

constexpr std::size_t kLongestLine = 256;

// The number after `label` in `line`, with the one after a following '/' when there is one:
// "Bytes Sent: 2048/ 300000   BPS:..." gives 2048 and 300000.
struct Figures {
  std::optional<std::int64_t> First;
  std::optional<std::int64_t> Second;
};

std::optional<std::int64_t> ReadNumber(std::string_view& text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  std::size_t digits = 0;
  while (digits < text.size() && digits < 15 && text[digits] >= '0' && text[digits] <= '9') {
    value = value * 10 + (text[digits] - '0');
    ++digits;
  }
  if (digits == 0) {
    return std::nullopt;
  }
  text.remove_prefix(digits);
  return value;
}

Figures FiguresAfter(std::string_view line, std::string_view label) {
  const auto at = line.find(label);
  if (at == std::string_view::npos) {
    return {};
  }
  std::string_view rest = line.substr(at + label.size());
  Figures figures;
  figures.First = ReadNumber(rest);
  if (figures.First && !rest.empty() && rest.front() == '/') {
    rest.remove_prefix(1);
    figures.Second = ReadNumber(rest);
  }
  return figures;
}

std::string Grouped(std::int64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped.push_back(',');
    }
    grouped.push_back(digits[i]);
  }
  return grouped;
}

std::string Rate(double bytesPerSecond) {
  char text[32];
  if (bytesPerSecond >= 1024.0 * 1024.0) {
    std::snprintf(text, sizeof text, "%.1f MB/s", bytesPerSecond / (1024.0 * 1024.0));
  } else if (bytesPerSecond >= 1024.0) {
    std::snprintf(text, sizeof text, "%.1f KB/s", bytesPerSecond / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%.0f B/s", bytesPerSecond);
  }
  return text;
}

std::string Duration(double seconds) {
  const auto whole = static_cast<std::int64_t>(std::ceil(seconds));
  if (whole < 60) {
    return std::to_string(whole) + " s";
  }
  if (whole < 3600) {
    return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
  }
  return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

}  // namespace

ChildCommand CommandFor(const ProtocolEntry& entry, const std::string& programPath,
                        const std::string& picked) {
  ChildCommand command;
  command.Program = programPath;
  for (const char* option : entry.Options) {
    if (option == nullptr) {
      break;
    }
    command.Arguments.emplace_back(option);
  }
  const std::filesystem::path path(picked);
  if (entry.Asks == Pick::Folder) {
    command.Folder = picked;
  } else {
    command.Folder = path.parent_path().string();
    command.Arguments.emplace_back("--");
    command.Arguments.push_back(path.filename().string());
  }
  return command;
}

void ProgressReader::Add(std::string_view text) {
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      ReadLine(Line);
      Line.clear();
    } else if (Line.size() < kLongestLine) {
      Line.push_back(c);
    }
  }
}

void ProgressReader::ReadLine(std::string_view line) {
  for (const std::string_view label : {"Receiving: ", "Sending: "}) {
    if (line.substr(0, label.size()) == label) {
      Before += Done;  // a batch's next file
      Done = 0;
      Size.reset();
      Current.assign(line.substr(label.size()));
      return;
    }
  }
  for (const std::string_view label : {"Bytes Sent:", "Bytes received:"}) {
    const Figures figures = FiguresAfter(line, label);
    if (figures.First) {
      Done = std::max(Done, *figures.First);
      if (figures.Second) {
        Size = *figures.Second;
        if (label == "Bytes received:" && Done == *Size && !Current.empty() &&
            (Whole.empty() || Whole.back() != Current)) {
          Whole.push_back(Current);
        }
      }
      return;
    }
  }
  // XMODEM's and YMODEM's sender count blocks: "sectors/kbytes sent: 16/ 2k".
  const Figures blocks = FiguresAfter(line, "sectors/kbytes sent:");
  if (blocks.Second) {
    Done = std::max(Done, *blocks.Second * 1024);
    return;
  }
  if (blocks.First || line.find("Blocks received:") != std::string_view::npos) {
    return;
  }
  if (line.find("caught signal") != std::string_view::npos) {
    return;  // how it ended, not why
  }
  const auto first = line.find_first_not_of(" \t");
  if (first != std::string_view::npos) {
    Message.assign(line.substr(first));
    std::replace(Message.begin(), Message.end(), '\t', ' ');
  }
}

std::string ProgressText(const TransferProgress& progress) {
  std::string text = Grouped(progress.Done);
  if (progress.Total > 0) {
    text += " of " + Grouped(progress.Total);
  }
  text += " bytes";
  if (progress.Seconds >= 0.25) {
    const double rate = static_cast<double>(progress.Done) / progress.Seconds;
    text += ", " + Rate(rate);
    if (progress.Total > 0 && rate > 0 && progress.Done < progress.Total) {
      text += ", " + Duration(static_cast<double>(progress.Total - progress.Done) / rate) + " left";
    }
  }
  return text;
}

int ProgressPercent(const TransferProgress& progress) {
  if (progress.Total <= 0) {
    return -1;
  }
  const auto done = std::min(progress.Done, progress.Total);
  return static_cast<int>(done * 100 / progress.Total);
}

}  // namespace korvani::transfer
