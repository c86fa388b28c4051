// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tab_building.h"

namespace korvani::ui {

QString ToPaneText(std::string_view text) {
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

// A button's caption says what it does; the tip keeps the caption earlier versions showed.
QString WithEarlierCaption(const QString& tip, const char* earlier) {
  return tip + QStringLiteral(" (earlier: \"%1\")").arg(QLatin1String(earlier));
}

QPushButton* ClearLogButton(const char* name, const char* caption, const char* tip, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(WithEarlierCaption(QString::fromLatin1(tip), "Clear"));
  return button;
}

QPushButton* SelectLogButton(const char* name, const char* caption, const char* tip, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(WithEarlierCaption(QString::fromLatin1(tip), "..."));
  return button;
}

}  // namespace korvani::ui
