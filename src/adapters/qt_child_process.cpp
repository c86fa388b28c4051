// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_child_process.h"

#include <QStandardPaths>

namespace korvani::ui {

QtChildProcess::QtChildProcess() {
  QObject::connect(&Process, &QProcess::readyReadStandardOutput, [this] {
    const QByteArray bytes = Process.readAllStandardOutput();
    if (Told.Output) {
      Told.Output({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    }
  });
  QObject::connect(&Process, &QProcess::readyReadStandardError, [this] {
    const QByteArray text = Process.readAllStandardError();
    if (Told.ErrorText) {
      Told.ErrorText({text.constData(), static_cast<std::size_t>(text.size())});
    }
  });
  QObject::connect(&Process, &QProcess::finished, [this](int exitCode, QProcess::ExitStatus status) {
    if (Told.Finished) {
      Told.Finished(exitCode, status == QProcess::NormalExit);
    }
  });
}

QtChildProcess::~QtChildProcess() {
  // Nobody is told of an end the owner brought about by going away.
  QObject::disconnect(&Process, nullptr, nullptr, nullptr);
  if (Process.state() != QProcess::NotRunning) {
    Process.kill();
    Process.waitForFinished(1000);
  }
}

bool QtChildProcess::Start(const transfer::ChildCommand& command, Handlers handlers) {
  Told = std::move(handlers);
  QStringList arguments;
  for (const std::string& argument : command.Arguments) {
    arguments << QString::fromStdString(argument);
  }
  Process.setWorkingDirectory(QString::fromStdString(command.Folder));
  Process.start(QString::fromStdString(command.Program), arguments,
                QIODevice::ReadWrite | QIODevice::Unbuffered);
  return Process.waitForStarted(5000);
}

void QtChildProcess::Write(std::string_view bytes) {
  if (Process.state() == QProcess::Running) {
    Process.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
}

void QtChildProcess::Kill() {
  if (Process.state() != QProcess::NotRunning) {
    Process.kill();
  }
}

std::string QtChildProcess::Problem() const {
  return Process.errorString().toStdString();
}

std::string QtChildProcess::Find(std::string_view name) {
  return QStandardPaths::findExecutable(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
      .toStdString();
}

}  // namespace korvani::ui
