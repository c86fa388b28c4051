// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/intro_typist.h"

#include <cmath>

#include "base/files.h"

namespace korvani::app {

namespace {
// Ruler lines in the splash file help its author line the text up; they never show.
constexpr std::string_view kHiddenMark = ".1234";
}  // namespace

IntroTypist::IntroTypist(Draw draw, base::Timer& timer, std::function<bool()> introShowing,
                         std::string splashFile)
    : DrawOnScreen(std::move(draw)),
      Timer(timer),
      IntroShowing(std::move(introShowing)),
      SplashFile(std::move(splashFile)) {
  Timer.SetTickHandler([this] { TypeNext(); });
}

void IntroTypist::Start() {
  Timer.SetInterval(kIntroFirstTickMs);
  Timer.SetEnabled(true);
}

void IntroTypist::TypeNext() {
  switch (State) {
    case Idle:
      if (IntroShowing() && base::FileExists(SplashFile)) {
        File.open(base::Utf8Path(SplashFile), std::ios::binary);
        State = File.is_open() ? ReadLine : Idle;
        if (State == ReadLine) {
          Timer.SetInterval(kIntroFirstTickMs);  // the typing starts at once, not a second later
        }
      }
      if (State == Idle) {
        Timer.SetInterval(kIntroIdleMs);  // nothing to type: look again once a second
      }
      break;
    case ReadLine:
      for (;;) {
        if (!std::getline(File, Line)) {
          File.close();
          State = EndOfFile;
          Timer.SetInterval(kIntroIdleMs);  // all typed: the typing pace is over
          break;
        }
        if (!Line.empty() && Line.back() == '\r') {
          Line.pop_back();
        }
        if (Line.find(kHiddenMark) == std::string::npos) {
          State = TypeLine;
          break;
        }
      }
      break;
    case TypeLine:
      if (Line.empty()) {
        State = ReadLine;
        DrawOnScreen('E', {"1"});      // the next row,
        DrawOnScreen('F', {"", "0"});  // at its start
      } else if (IntroShowing()) {
        const std::string character = Line.substr(0, 1);
        Line.erase(0, 1);
        DrawOnScreen('@', {character});
        Timer.SetInterval(kIntroTypingMs);
      } else {
        Timer.SetInterval(kIntroIdleMs);
        File.close();
        State = Idle;
      }
      break;
    case EndOfFile:
      if (!IntroShowing()) {
        Timer.SetInterval(kIntroIdleMs);
        State = Idle;
      }
      break;
    default:
      break;
  }
}

}  // namespace korvani::app
