// SPDX-License-Identifier: GPL-3.0-or-later
// What the window's tabs share when they are built: texts, captions that keep the earlier
// ones in their tips, the log files' buttons; and each tab's builder, which makes its
// widgets into its widget struct with the tab as their parent.
#pragma once

#include <QFont>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <string_view>

namespace korvani::ui {

struct TerminalTabUi;
struct ScreenTabUi;
struct SettingsTabUi;

// A byte string as the window shows it, a character per byte.
inline QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
// A UTF-8 text (a file name, a reason) as the window shows it.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The received bytes as a pane shows them: each byte one Latin-1 character, and line ends
// (CR LF, lone CR, lone LF) as line breaks.
QString ToPaneText(std::string_view text);

// A button's caption says what it does; the tip keeps the caption earlier versions showed.
QString WithEarlierCaption(const QString& tip, const char* earlier);
// A button that empties a log file, and one that picks a file or folder.
QPushButton* ClearLogButton(const char* name, const char* caption, const char* tip, QWidget* parent);
QPushButton* SelectLogButton(const char* name, const char* caption, const char* tip, QWidget* parent);

void BuildTerminalTab(TerminalTabUi& ui, QWidget* tab);
void BuildScreenTab(ScreenTabUi& ui, QWidget* tab);
void BuildSettingsTab(SettingsTabUi& ui, QWidget* tab);

}  // namespace korvani::ui
