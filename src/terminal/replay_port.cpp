// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/replay_port.h"

#include <algorithm>

namespace korvani::terminal {

ReplayPort::ReplayPort(std::unique_ptr<base::Timer> timer, PathResolver resolve,
                       RecordingPort::MicrosecondClock now)
    : PaceTimer(std::move(timer)), Resolve(std::move(resolve)), Now(std::move(now)) {
  PaceTimer->SetInterval(kTickMs);
  PaceTimer->SetTickHandler([this] { Tick(); });
}

bool ReplayPort::SetOpen(bool open) {
  if (open == Open) {
    return true;
  }
  Waiting.clear();
  Due.reset();
  Reader.Close();
  PaceTimer->SetEnabled(false);
  Open = false;
  if (!open) {
    return true;
  }
  const std::string path = Resolve ? Resolve(Number) : std::string();
  if (path.empty()) {
    Note = "COM" + std::to_string(Number) + " has no recording to replay";
    return false;
  }
  if (!Reader.Open(path, Note)) {
    return false;
  }
  Note = "replaying " + path;  // every opening plays it from its start
  Open = true;
  StartedAt = Now();
  BytesReplayed = 0;
  LastRecorded = 0;
  LastDue = 0;
  LotStart = 0;
  PaceTimer->SetEnabled(true);
  return true;
}

void ReplayPort::Tick() {
  if (!Open) {
    return;
  }
  const bool fastest = Speed <= 0;
  const auto replayedTime =
      static_cast<std::int64_t>(static_cast<double>(Now() - StartedAt) * (fastest ? 1 : Speed));
  std::size_t brought = 0;
  std::size_t looked = 0;  // sent pieces passed over count too: a tick reads at most so much
  bool ended = false;
  bool skipped = false;
  while (looked < kMostPerTick) {
    if (!Due) {
      Due = Reader.Next();
      if (!Due) {
        ended = true;
        break;
      }
      if (Due->Way != Direction::Received) {
        looked += Due->Bytes.size();
        Due.reset();  // what the panel sent then is not sent again
        continue;
      }
      // Paced by the step from the piece before, so one damaged time (far ahead, or back)
      // costs one step and not the pace of everything after it.
      const std::int64_t step = Due->Microseconds - LastRecorded;
      LastRecorded = Due->Microseconds;
      if (step > kLongestGapUs) {
        Note = "the recording has a pause of " + std::to_string(step / 1'000'000) +
               " s (a damaged time?): the replay went on at once";
        skipped = true;
      }
      Due->Microseconds = LastDue + (step > kLongestGapUs ? 0 : std::max<std::int64_t>(step, 0));
    }
    const std::int64_t dueAt = Due->Microseconds;
    if (!fastest && dueAt > replayedTime) {
      break;
    }
    if (!Waiting.empty() && dueAt > LotStart + kOneMomentUs) {
      RaiseEvent(ports::PortEvent::Received);  // the lot of an earlier moment is read at its own time
      if (!Open || !Due) {
        return;  // the reader closed the port (or opened it again, from the start)
      }
    }
    if (Waiting.empty()) {
      LotStart = dueAt;
    }
    LastDue = dueAt;  // never earlier: a step is never negative
    brought += Due->Bytes.size();
    looked += Due->Bytes.size();
    Waiting += Due->Bytes;
    Due.reset();
  }
  BytesReplayed += static_cast<std::int64_t>(brought);
  if (ended) {
    PaceTimer->SetEnabled(false);
    const std::string replayed = " (" + std::to_string(BytesReplayed) + " bytes)";
    Note = Reader.Damage().empty()
               ? "the replay came to its end" + replayed
               : "the recording is damaged: " + Reader.Damage() + "; the replay stopped there" + replayed;
    Reader.Close();  // the file is let go as soon as it is done with
  }
  if (!Waiting.empty()) {
    RaiseEvent(ports::PortEvent::Received);
  }
  if (ended || skipped) {
    RaiseEvent(ports::PortEvent::LineChanged);  // the window tells the user
  }
}

}  // namespace korvani::terminal
