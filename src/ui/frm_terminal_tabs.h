// Building the window's tabs: what the tabs share, and the Settings tab (the other tabs are
// built in frm_terminal_ui.cpp).
#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>
#include <string_view>

#include "ui/frm_terminal_ui.h"

namespace korvani::ui {

// A byte string as the window shows it, a character per byte.
inline QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A button's caption says what it does; the tip keeps the caption earlier versions showed.
QString WithEarlierCaption(const QString& tip, const char* earlier);
// A button that empties a log file, and one that picks a file or folder.
QPushButton* ClearLogButton(const char* name, const char* caption, const char* tip, QWidget* parent);
QPushButton* SelectLogButton(const char* name, const char* caption, const char* tip, QWidget* parent);

QWidget* BuildSettingsTab(FrmTerminalUi& ui);

}  // namespace korvani::ui
