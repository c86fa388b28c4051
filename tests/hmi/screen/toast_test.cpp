// SPDX-License-Identifier: GPL-3.0-or-later
#include "hmi/screen/toast.h"

#include <gtest/gtest.h>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"

namespace korvani::hmi::screen {
namespace {

class ToastTest : public ::testing::Test {
 protected:
  // Lets whole seconds pass on the 100 ms timer.
  void Seconds(double seconds) { Timer.Advance(static_cast<int>(seconds * 1000)); }

  fakes::FakePanelView View;
  fakes::FakeTimer Timer;
  Toast Subject{View, Timer};
};

TEST_F(ToastTest, SpeechShowsTheTextInQuotes) {
  Subject.SpeakIt("Hello", "en", "GB", "1");
  EXPECT_EQ(View.ToastText, "Speaks:\r\n\r\n\"Hello\"");
  EXPECT_TRUE(View.ToastShown);
  EXPECT_TRUE(Timer.Enabled());
  EXPECT_EQ(Timer.Interval(), 100);
  Subject.SpeakIt("", "", "", "");
  EXPECT_EQ(View.ToastText, "Speaks:\r\n\r\n\"\"");
}

TEST_F(ToastTest, DisappearsAboutTenSecondsAfterItShows) {
  Subject.ShowToast("Notice");
  Seconds(9.9);
  EXPECT_TRUE(View.ToastShown);
  Seconds(0.2);
  EXPECT_FALSE(View.ToastShown);
  EXPECT_TRUE(Timer.Enabled());  // never switched off once started
}

TEST_F(ToastTest, ASecondNoticeDoesNotRestartTheCountdown) {
  Subject.ShowToast("first");
  Seconds(5);
  Subject.ShowToast("second");
  EXPECT_EQ(View.ToastText, "second");
  Seconds(4.8);
  EXPECT_TRUE(View.ToastShown);
  Seconds(0.4);
  EXPECT_FALSE(View.ToastShown);
}

TEST_F(ToastTest, ClickingItAwayEndsTheCountdownAtTheNextTick) {
  Subject.ShowToast("first");
  Seconds(3);
  Subject.Dismiss();
  EXPECT_FALSE(View.ToastShown);
  Seconds(0.1);
  EXPECT_EQ(Subject.ToastState, 0);
  Subject.ShowToast("again");
  Seconds(9.8);
  EXPECT_TRUE(View.ToastShown);  // a fresh countdown of ten seconds
  Seconds(0.4);
  EXPECT_FALSE(View.ToastShown);
}

}  // namespace
}  // namespace korvani::hmi::screen
