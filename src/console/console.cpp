// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console.h"

#include <algorithm>
#include <utility>

namespace korvani::console {

Console::Console(base::Timer& pasteTimer, std::function<void()> wake)
    : Wake(std::move(wake)),
      Paste(
          pasteTimer, [this](char32_t c) { return c == U'\n' ? KeyBytes(Key::Enter, {}) : CharBytes(c, {}); },
          [this](const std::string& bytes) { Type(bytes); }),
      Screen(24, 80),
      EmulatorThread([this] { Emulate(); }) {}

Console::~Console() {
  {
    const std::lock_guard lock(QueueGuard);
    Stopping = true;
  }
  Moved.notify_all();
  EmulatorThread.join();
}

void Console::Emulate() {
  std::unique_lock queue(QueueGuard);
  for (;;) {
    Moved.wait(queue, [this] { return Stopping || !Queued.empty(); });
    if (Stopping) {
      return;
    }
    // A slice at a time: the queue goes down as it is taken, so a feed waiting for room
    // (and with it the window's thread, and its paints) waits no longer than one slice.
    const std::size_t size = std::min(kSliceBytes, LateBytes > 0 ? LateBytes : Queued.size());
    const std::string taken = Queued.substr(0, size);
    Queued.erase(0, size);
    const bool late = LateBytes > 0;
    LateBytes -= late ? size : 0;
    const bool last = Queued.empty();  // a picture after the last bytes, whenever they came
    Emulating = true;
    queue.unlock();
    Moved.notify_all();
    const auto now = std::chrono::steady_clock::now();
    std::shared_ptr<const Picture> picture;
    std::string replies;
    {
      const std::lock_guard screen(ScreenGuard);
      Screen.Feed(taken);
      replies = Screen.TakeReplies();
      if ((last || now - LastPicture >= std::chrono::milliseconds(kPictureMs)) && Screen.TakeChanged()) {
        picture = TakePicture(WantedTop, WantedRows, WantedColumns);
      }
    }
    if (!late && !replies.empty()) {
      {
        const std::lock_guard lock(PictureGuard);
        Replies += replies;
      }
      WakeWindow();
    }
    if (picture) {
      LastPicture = now;
      Publish(std::move(picture));
    }
    queue.lock();
    Emulating = false;
    Moved.notify_all();
  }
}

std::shared_ptr<const Picture> Console::TakePicture(int top, int rows, int columns) const {
  auto picture = std::make_shared<Picture>();
  picture->Top = top;
  picture->Rows = rows;
  picture->Columns = columns;
  picture->Cells.reserve(static_cast<std::size_t>(std::max(0, rows)) * static_cast<std::size_t>(columns));
  for (int shown = 0; shown < rows; ++shown) {
    for (int column = 0; column < columns; ++column) {
      picture->Cells.push_back(Screen.At(top + shown, column));
    }
  }
  picture->CursorNow = Screen.CursorAt();
  picture->Kept = static_cast<int>(Screen.ScrollbackCount());
  return picture;
}

void Console::Publish(std::shared_ptr<const Picture> picture) {
  {
    const std::lock_guard lock(PictureGuard);
    Latest = std::move(picture);
    PictureFresh = true;
  }
  WakeWindow();
}

void Console::WakeWindow() {
  if (!WakePosted.exchange(true) && Wake) {
    Wake();
  }
}

bool Console::Woken() {
  WakePosted = false;
  std::string replies;
  bool fresh = false;
  {
    const std::lock_guard lock(PictureGuard);
    replies = std::exchange(Replies, {});
    fresh = std::exchange(PictureFresh, false) && Latest != nullptr;
  }
  if (!replies.empty() && Send) {
    Send(replies);
  }
  return fresh;
}

std::shared_ptr<const Picture> Console::PictureOf(int top, int rows, int columns) {
  WantedTop = top;
  WantedRows = rows;
  WantedColumns = columns;
  {
    const std::lock_guard lock(PictureGuard);
    if (Latest && Latest->Top == top && Latest->Rows == rows && Latest->Columns == columns) {
      return Latest;
    }
  }
  const std::lock_guard lock(ScreenGuard);
  return TakePicture(top, rows, columns);
}

int Console::Kept() {
  const std::lock_guard lock(PictureGuard);
  return Latest ? Latest->Kept : 0;
}

void Console::WaitUntilFed() {
  std::unique_lock queue(QueueGuard);
  Moved.wait(queue, [this] { return Stopping || (Queued.empty() && !Emulating); });
}

const ScreenEmulator& Console::Emulator() {
  WaitUntilFed();
  return Screen;
}

void Console::SetEnterSends(EnterSends sends) {
  const std::lock_guard lock(ScreenGuard);
  Screen.SetEnterSends(sends);
}

void Console::SetBackspaceSends(BackspaceSends sends) {
  const std::lock_guard lock(ScreenGuard);
  Screen.SetBackspaceSends(sends);
}

std::string Console::KeyBytes(Key key, Modifiers with) {
  const std::lock_guard lock(ScreenGuard);
  return Screen.KeyBytes(key, with);
}

std::string Console::CharBytes(char32_t character, Modifiers with) {
  const std::lock_guard lock(ScreenGuard);
  return Screen.CharBytes(character, with);
}

std::string Console::TextOf(int row, int fromColumn, int toColumn) {
  const std::lock_guard lock(ScreenGuard);
  return Screen.TextOf(row, fromColumn, toColumn);
}

void Console::Type(const std::string& bytes) {
  if (bytes.empty()) {
    return;
  }
  if (Send) {
    Send(bytes);
  }
  if (LocalEcho) {
    Feed(bytes);
  }
}

void Console::Feed(std::string_view bytes) {
  if (!Shown) {
    Waiting.append(bytes);
    if (Waiting.size() > 2 * kWaitingBytes) {  // cut now and then, not at every chunk
      Waiting.erase(0, Waiting.size() - kWaitingBytes);
      WaitingCutShort = true;
    }
    return;
  }
  Queue(bytes, false);
}

void Console::Queue(std::string_view bytes, bool late) {
  if (bytes.empty()) {
    return;
  }
  {
    std::unique_lock queue(QueueGuard);
    Moved.wait(queue, [this] { return Stopping || Queued.size() < kMostQueued; });
    if (late) {
      LateBytes = Queued.size() + bytes.size();
    }
    Queued.append(bytes);
  }
  Moved.notify_all();
  // The thread wakes the window once it has taken the bytes.
}

void Console::SetShown(bool shown) {
  if (shown == Shown) {
    return;
  }
  Shown = shown;
  if (!shown) {
    return;
  }
  if (Waiting.size() > kWaitingBytes) {
    Waiting.erase(0, Waiting.size() - kWaitingBytes);
    WaitingCutShort = true;
  }
  if (WaitingCutShort) {
    WaitUntilFed();
    const std::lock_guard lock(ScreenGuard);
    Screen.Clear();  // what came before the bytes kept is gone
    Screen.TakeChanged();
    Publish(TakePicture(WantedTop, WantedRows, WantedColumns));
  }
  const std::string waiting = std::exchange(Waiting, {});
  WaitingCutShort = false;
  WaitUntilFed();  // what was queued while in view is answered; only what waited is late
  Queue(waiting, true);
}

void Console::Resize(int rows, int columns, int rowsInView) {
  const std::lock_guard lock(ScreenGuard);
  Screen.Resize(rows, columns);
  ShownRows = Screen.Rows();
  ShownColumns = Screen.Columns();
  WantedTop = 0;
  WantedRows = std::min(rowsInView, ShownRows);
  WantedColumns = ShownColumns;
  Screen.TakeChanged();
  Publish(TakePicture(WantedTop, WantedRows, WantedColumns));
}

}  // namespace korvani::console
