// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripting/session_script.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "base/text.h"
#include "hmi/screen/soft_buttons.h"
#include "ports/line_settings.h"
#include "terminal/transmit_lines.h"

namespace korvani::scripting {

namespace {

// How soon a waiting script looks at bytes that arrived: soon enough for any board, and a
// flood costs at most this many looks a second, not one per chunk.
constexpr int kLookMs = 10;

// The screen's colours are red + 256 * green + 65536 * blue; a script reads 0xRRGGBB.
long long Rgb(hmi::screen::Colour colour) {
  const auto bgr = static_cast<unsigned long long>(colour) & 0xFFFFFFU;
  return static_cast<long long>(((bgr & 0xFFU) << 16U) | (bgr & 0xFF00U) | ((bgr >> 16U) & 0xFFU));
}

}  // namespace

SessionScript::SessionScript(app::Session& session, std::unique_ptr<base::Timer> timer,
                             std::function<std::int64_t()> microseconds, ScriptHooks hooks)
    : Board(session),
      Turns(std::move(timer)),
      Microseconds(std::move(microseconds)),
      Hooks(std::move(hooks)) {
  Turns->SetTickHandler([this] { Turn(); });
  Watching = Board.Receive().Watch([this](std::string_view chunk) {
    if (Run) {
      Run->Received(chunk);
      if (!Turns->Enabled() || Turns->Interval() > kLookMs) {  // not inside the receive path
        Turns->SetInterval(kLookMs);
        Turns->SetEnabled(true);
      }
    }
  });
}

SessionScript::~SessionScript() {
  Board.Receive().Unwatch(Watching);
}

script::ScriptClock::time_point SessionScript::Now() const {
  return script::ScriptClock::time_point(std::chrono::microseconds(Microseconds()));
}

void SessionScript::Start(std::string_view text, const std::string& name, script::RunnerOptions options) {
  Stop();
  Run = std::make_unique<script::Runner>(*this, options);
  Settle(Run->Load(text, name));
}

void SessionScript::Stop() {
  if (Run) {
    Run->Stop();
    Settle(Run->Last());
  }
}

void SessionScript::Turn() {
  if (Run) {
    Settle(Run->Resume(Now()));
  }
}

void SessionScript::Settle(const script::RunStep& step) {
  switch (step.State) {
    case script::RunState::Running:
      Turns->SetInterval(1);
      Turns->SetEnabled(true);
      return;
    case script::RunState::Waiting: {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(step.WakeAt - Now()).count();
      Turns->SetInterval(static_cast<int>(std::clamp<long long>(wait, 1, 1000)));  // and looks again
      Turns->SetEnabled(true);
      return;
    }
    case script::RunState::Finished:
    case script::RunState::Failed:
      break;
  }
  Turns->SetEnabled(false);
  const script::RunStep end = step;
  Run.reset();
  if (Hooks.Ended) {
    Hooks.Ended(end);
  }
}

bool SessionScript::Send(std::string_view bytes) {
  return Board.SendToBoard(bytes);
}

// The Tx lines' ending as chosen; a line still ends when they are sent with none.
std::string SessionScript::LineEnding() const {
  const terminal::LineEnd chosen = Board.Transmit().Ending();
  return std::string(
      terminal::LineEndBytes(chosen == terminal::LineEnd::None ? terminal::LineEnd::CrLf : chosen));
}

std::optional<std::string> SessionScript::ScreenRow(int row) const {
  return Board.Screen().Characters().Row(row - 1);
}

std::optional<script::ScreenPlace> SessionScript::FindOnScreen(std::string_view text) const {
  if (const auto at = Board.Screen().Characters().Find(text)) {
    return script::ScreenPlace{at->first + 1, at->second + 1};
  }
  if (const std::optional<int> index = ButtonReading(text)) {
    const hmi::screen::HMIButton& button = Board.Buttons().Button(*index);
    if (const auto cell = Board.Screen().CellAt(button.Top, button.Left)) {
      return script::ScreenPlace{cell->first + 1, cell->second + 1};
    }
  }
  return std::nullopt;
}

// The soft button shown whose caption reads the text (blanks around aside), else the first
// whose caption holds it.
std::optional<int> SessionScript::ButtonReading(std::string_view text) const {
  const std::string_view wanted = base::TrimBlanks(text);
  if (wanted.empty()) {
    return std::nullopt;
  }
  const auto first = [this](const auto& reads) -> std::optional<int> {
    for (int i = 0; i < hmi::screen::kButtonCount; ++i) {
      const hmi::screen::HMIButton& button = Board.Buttons().Button(i);
      if (button.Visible && reads(button.Caption)) {
        return i;
      }
    }
    return std::nullopt;
  };
  if (const auto whole =
          first([wanted](const std::string& caption) { return base::TrimBlanks(caption) == wanted; })) {
    return whole;
  }
  return first([wanted](const std::string& caption) { return caption.find(wanted) != std::string::npos; });
}

std::optional<long long> SessionScript::ColourAt(script::ScreenPlace place) const {
  if (const auto colour = Board.Screen().Characters().ForeAt(place.Row - 1, place.Column - 1)) {
    return Rgb(*colour);
  }
  return std::nullopt;
}

std::string SessionScript::Press(std::string_view caption) {
  const std::optional<int> index = ButtonReading(caption);
  return index ? Press(*index + 1) : "no soft button shown reads \"" + std::string(caption) + "\"";
}

std::string SessionScript::Press(int number) {
  if (number < 1 || number > hmi::screen::kButtonCount) {
    return "soft buttons are numbered 1 to " + std::to_string(hmi::screen::kButtonCount);
  }
  if (!Board.Buttons().Button(number - 1).Visible) {
    return "soft button " + std::to_string(number) + " is not shown";
  }
  Board.Buttons().Press(static_cast<std::int16_t>(number - 1));
  Board.Buttons().Release(static_cast<std::int16_t>(number - 1));
  return {};
}

std::string SessionScript::Enter(std::string_view value) {
  return Board.Entry().Answer(value);
}

std::string SessionScript::SetLine(const script::LineRequest& request) {
  ports::LineOptions options;
  std::string why;
  if (request.Baud) {
    why = ports::TakeLineOption("--baud", std::to_string(*request.Baud), options);
  }
  if (why.empty() && request.Format) {
    why = ports::TakeLineOption("--format", *request.Format, options);
  }
  if (why.empty() && request.Flow) {
    why = ports::TakeLineOption("--flow", *request.Flow, options);
  }
  if (!why.empty()) {
    return why;
  }
  terminal::Connection& connection = Board.Connection();
  if (options.Any()) {
    ports::LineSettings line = connection.Line();
    ports::ApplyLineOptions(options, line);
    if (line != connection.Line()) {
      connection.ChooseLine(line);
      if (connection.Refused()) {
        return "the port would not open with " + ports::SettingsText(line);
      }
    }
  }
  if (request.Dtr) {
    connection.SetDtr(*request.Dtr);
  }
  if (request.Rts) {
    connection.SetRts(*request.Rts);
  }
  return {};
}

std::string SessionScript::SendBreak(double seconds) {
  const auto milliseconds = static_cast<int>(std::lround(seconds * 1000));
  return Board.Connection().SendBreak(std::max(milliseconds, 1)) ? "" : "no open port to send a break on";
}

void SessionScript::Output(std::string_view text) {
  if (Hooks.Output) {
    Hooks.Output(text);
  }
}

}  // namespace korvani::scripting
