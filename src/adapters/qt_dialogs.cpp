// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapters/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#ifdef Q_OS_WIN
#include "platform/windows/browse_for_folder.h"
#endif

namespace korvani::ui {

namespace {
QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon ToQtIcon(base::MessageIcon icon) {
  switch (icon) {
    case base::MessageIcon::Information:
      return QMessageBox::Information;
    case base::MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case base::MessageIcon::Critical:
      return QMessageBox::Critical;
    case base::MessageIcon::Question:
      return QMessageBox::Question;
    case base::MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

base::MessageResult QtDialogs::ShowMessage(std::string_view text, std::string_view title,
                                           base::MessageIcon icon, base::MessageButtons buttons) {
  QMessageBox box(ToQtIcon(icon), ToQString(title), ToQString(text), QMessageBox::NoButton, Parent);
  box.setTextFormat(Qt::PlainText);
  switch (buttons) {
    case base::MessageButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case base::MessageButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case base::MessageButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return base::MessageResult::Cancel;
    case QMessageBox::Yes:
      return base::MessageResult::Yes;
    case QMessageBox::No:
      return base::MessageResult::No;
    default:
      return base::MessageResult::Ok;
  }
}

void QtDialogs::Beep() {
  QApplication::beep();
}

std::string QtDialogs::PickFolder(std::string_view prompt, std::string_view initialFolder) {
#ifdef Q_OS_WIN
  return platform::BrowseForFolder(prompt, initialFolder, true);
#endif
  return QFileDialog::getExistingDirectory(
             Parent, QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())),
             QString::fromUtf8(initialFolder.data(), static_cast<qsizetype>(initialFolder.size())))
      .toStdString();
}

std::string QtDialogs::PickSaveFile(std::string_view initialName) {
  // The dialog asks before an existing file is overwritten.
  return QFileDialog::getSaveFileName(
             Parent, QStringLiteral("Select file"),
             QString::fromUtf8(initialName.data(), static_cast<qsizetype>(initialName.size())))
      .toStdString();
}

std::string QtDialogs::PickOpenFile(std::string_view prompt) {
  return QFileDialog::getOpenFileName(Parent,
                                      QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())))
      .toStdString();
}

}  // namespace korvani::ui
