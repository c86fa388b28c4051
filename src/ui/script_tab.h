// SPDX-License-Identifier: GPL-3.0-or-later
// The Script tab: a Lua script opened, edited and saved, run on this window's session and
// stopped, its output with the time of each line. The script runs on the window's own
// thread in slices (the core's runner), so the window and its board go on while it runs: a
// person may still type and press. A running script shows in the status bar.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

#include "app/settings.h"
#include "script/script_runner.h"
#include "scripting/session_script.h"
#include "ui/panel_tab.h"

namespace korvani::ui {

struct ScriptTabUi {
  QComboBox* cmbScriptRecent = nullptr;  // the last ten scripts; choosing one opens it
  QPushButton* cmdScriptOpen = nullptr;
  QPushButton* cmdScriptSave = nullptr;
  QPushButton* cmdScriptSaveAs = nullptr;
  QPushButton* cmdScriptRun = nullptr;
  QPushButton* cmdScriptStop = nullptr;
  QCheckBox* chkScriptPrograms = nullptr;  // scripts may start programs
  QLabel* lblScriptFile = nullptr;         // the file in the editor
  QPlainTextEdit* txtScript = nullptr;
  QPlainTextEdit* txtScriptOutput = nullptr;
};

void BuildScriptTab(ScriptTabUi& ui, QWidget* tab);

class ScriptTab final : public SessionTab {
 public:
  using ChoicesChanged = std::function<void(const app::ScriptChoices& choices)>;

  // `running` is the status bar's label that names a running script.
  ScriptTab(const FaultReport& report, QLabel& running);
  // The session the scripts run on and its runner (which the window's owner keeps, so it
  // goes before the session does), and the saved choices, told back when they change.
  void Attach(app::Session& session, scripting::SessionScript& script, const app::ScriptChoices& choices,
              ChoicesChanged changed);
  [[nodiscard]] const ScriptTabUi& Ui() const { return Widgets; }

  // The file into the editor; false, said in the output, when it cannot be read.
  bool OpenScript(const QString& path);
  void Run();
  void Stop();
  [[nodiscard]] bool Running() const { return Script != nullptr && Script->Running(); }

 private:
  void AttachControls();
  bool SaveTo(const QString& path);
  void Output(const QString& line);
  void Ended(const script::RunStep& end);
  void ShowRunning(bool running);
  void ShowRecent();
  void Remember(const QString& path);

  ScriptTabUi Widgets;
  QLabel& RunningLabel;
  scripting::SessionScript* Script = nullptr;
  QString Path;     // the editor's file; empty for a new script
  QString RunName;  // the name errors carry
  app::ScriptChoices Choices;
  ChoicesChanged Changed;
};

}  // namespace korvani::ui
