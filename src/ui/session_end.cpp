// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/session_end.h"

#include <QApplication>
#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#endif

namespace korvani::ui {

#ifndef Q_OS_WIN
namespace {

int SignalPipe[2] = {-1, -1};

void OnSessionEnd(int /*signal*/) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(SignalPipe[1], &byte, 1);
}

}  // namespace
#endif

void CloseOnSessionEnd(QWidget& window) {
#ifndef Q_OS_WIN
  if (SignalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) != 0) {
    return;
  }
  auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [] {
    char byte = 0;
    [[maybe_unused]] const auto got = ::read(SignalPipe[0], &byte, 1);
    QApplication::closeAllWindows();  // every window, each saving its session
  });
  struct sigaction action {};
  action.sa_handler = OnSessionEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    sigaction(signal, &action, nullptr);
  }
#else
  (void)window;
#endif
}

}  // namespace korvani::ui
