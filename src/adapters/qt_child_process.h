// SPDX-License-Identifier: GPL-3.0-or-later
// A file protocol's program run with QProcess: its output read as it comes, its input
// written as the board's bytes arrive.
#pragma once

#include <QObject>
#include <QProcess>
#include <string>

#include "transfer/child_process.h"

namespace korvani::ui {

class QtChildProcess final : public transfer::ChildProcess {
 public:
  QtChildProcess();
  ~QtChildProcess() override;
  QtChildProcess(const QtChildProcess&) = delete;
  QtChildProcess& operator=(const QtChildProcess&) = delete;

  bool Start(const transfer::ChildCommand& command, Handlers handlers) override;
  void Write(std::string_view bytes) override;
  void Kill() override;
  [[nodiscard]] std::string Problem() const override;

  // The program's full path where it is installed, else "".
  static std::string Find(std::string_view name);

 private:
  QProcess Process;
  Handlers Told;
};

}  // namespace korvani::ui
