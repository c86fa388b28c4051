// SPDX-License-Identifier: GPL-3.0-or-later
// A script written into a test's temporary folder, for the tests that run one.
#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace korvani::testing {

// The script's path; empty when it could not be written.
inline QString WriteScript(const QTemporaryDir& folder, const char* name, const char* text) {
  const QString path = folder.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0) {
    return {};
  }
  return path;
}

}  // namespace korvani::testing
