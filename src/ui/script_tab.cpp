// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/script_tab.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QTime>
#include <QVBoxLayout>

#include "app/session.h"
#include "ui/tab_building.h"

namespace korvani::ui {

namespace {

constexpr int kOutputLinesKept = 10000;
constexpr const char* kScriptFilter = "Lua scripts (*.lua);;All files (*)";

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

void BuildScriptTab(ScriptTabUi& ui, QWidget* tab) {
  auto* layout = new QVBoxLayout(tab);
  auto* bar = new QHBoxLayout;
  ui.cmdScriptOpen = Button("cmdScriptOpen", "Open...", tab);
  ui.cmbScriptRecent = new QComboBox(tab);
  ui.cmbScriptRecent->setObjectName(QStringLiteral("cmbScriptRecent"));
  ui.cmbScriptRecent->setToolTip(QStringLiteral("The last ten scripts: choose one to open it"));
  ui.cmbScriptRecent->setMinimumContentsLength(24);
  ui.cmdScriptSave = Button("cmdScriptSave", "Save", tab);
  ui.cmdScriptSaveAs = Button("cmdScriptSaveAs", "Save as...", tab);
  ui.cmdScriptRun = Button("cmdScriptRun", "Run", tab);
  ui.cmdScriptRun->setToolTip(QStringLiteral("Run the script in the editor on this window's board (F5)"));
  ui.cmdScriptRun->setShortcut(QKeySequence(Qt::Key_F5));
  ui.cmdScriptStop = Button("cmdScriptStop", "Stop", tab);
  ui.cmdScriptStop->setEnabled(false);
  ui.chkScriptPrograms = new QCheckBox(QStringLiteral("Scripts may start programs"), tab);
  ui.chkScriptPrograms->setObjectName(QStringLiteral("chkScriptPrograms"));
  ui.chkScriptPrograms->setToolTip(
      QStringLiteral("Let scripts use os.execute and io.popen; off, a script cannot start another program"));
  for (QWidget* widget :
       std::initializer_list<QWidget*>{ui.cmdScriptOpen, ui.cmbScriptRecent, ui.cmdScriptSave,
                                       ui.cmdScriptSaveAs, ui.cmdScriptRun, ui.cmdScriptStop}) {
    bar->addWidget(widget);
  }
  bar->addStretch(1);
  bar->addWidget(ui.chkScriptPrograms);
  layout->addLayout(bar);
  ui.lblScriptFile = new QLabel(QStringLiteral("New script"), tab);
  ui.lblScriptFile->setObjectName(QStringLiteral("lblScriptFile"));
  ui.lblScriptFile->setTextFormat(Qt::PlainText);
  layout->addWidget(ui.lblScriptFile);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  ui.txtScript = new QPlainTextEdit(tab);
  ui.txtScript->setObjectName(QStringLiteral("txtScript"));
  ui.txtScript->setFont(fixed);
  ui.txtScript->setLineWrapMode(QPlainTextEdit::NoWrap);
  ui.txtScript->setPlaceholderText(
      QStringLiteral("-- A Lua script for this window's board, for example:\n"
                     "expect('ready>')\nsendline('status')\nlog(expect('state=(%a+)'))"));
  layout->addWidget(ui.txtScript, 3);
  ui.txtScriptOutput = new QPlainTextEdit(tab);
  ui.txtScriptOutput->setObjectName(QStringLiteral("txtScriptOutput"));
  ui.txtScriptOutput->setFont(fixed);
  ui.txtScriptOutput->setReadOnly(true);
  ui.txtScriptOutput->setMaximumBlockCount(kOutputLinesKept);
  layout->addWidget(ui.txtScriptOutput, 2);
}

ScriptTab::ScriptTab(const FaultReport& report, QLabel& running) : SessionTab(report), RunningLabel(running) {
  setObjectName(QStringLiteral("ScriptTab"));
  BuildScriptTab(Widgets, this);
}

void ScriptTab::Attach(app::Session& session, scripting::SessionScript& script,
                       const app::ScriptChoices& choices, ChoicesChanged changed) {
  Attached = &session;
  Script = &script;
  Choices = choices;
  Changed = std::move(changed);
  script.SetHooks({[this](std::string_view line) { Output(FromUtf8(line)); },
                   [this](const script::RunStep& end) { Ended(end); }});
  Widgets.chkScriptPrograms->setChecked(Choices.RunPrograms);
  ShowRecent();
  AttachControls();
}

void ScriptTab::AttachControls() {
  const ScriptTabUi& w = Widgets;
  connect(w.cmdScriptOpen, &QPushButton::clicked, this, Do([this](app::Session&) {
            const QString path =
                QFileDialog::getOpenFileName(this, QStringLiteral("Open a script"), QFileInfo(Path).path(),
                                             QString::fromLatin1(kScriptFilter));
            if (!path.isEmpty()) {
              OpenScript(path);
            }
          }));
  connect(w.cmbScriptRecent, &QComboBox::activated, this, Do([this](app::Session&, int index) {
            const QString path = Widgets.cmbScriptRecent->itemData(index).toString();
            if (!path.isEmpty()) {
              OpenScript(path);
            }
          }));
  const auto saveAs = [this](app::Session&) {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the script"),
                                                      Path.isEmpty() ? QStringLiteral("script.lua") : Path,
                                                      QString::fromLatin1(kScriptFilter));
    if (!path.isEmpty()) {
      SaveTo(path);
    }
  };
  connect(w.cmdScriptSaveAs, &QPushButton::clicked, this, Do(saveAs));
  connect(w.cmdScriptSave, &QPushButton::clicked, this, Do([this, saveAs](app::Session& session) {
            if (Path.isEmpty()) {
              saveAs(session);
            } else {
              SaveTo(Path);
            }
          }));
  connect(w.cmdScriptRun, &QPushButton::clicked, this, Do([this](app::Session&) { Run(); }));
  connect(w.cmdScriptStop, &QPushButton::clicked, this, Do([this](app::Session&) { Stop(); }));
  connect(w.chkScriptPrograms, &QCheckBox::clicked, this, Do([this](app::Session&, bool ticked) {
            Choices.RunPrograms = ticked;
            if (Changed) {
              Changed(Choices);
            }
          }));
}

bool ScriptTab::OpenScript(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Output(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    return false;
  }
  Widgets.txtScript->setPlainText(QString::fromUtf8(file.readAll()));
  Path = path;
  Widgets.lblScriptFile->setText(path);
  Remember(path);
  return true;
}

bool ScriptTab::SaveTo(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(Widgets.txtScript->toPlainText().toUtf8()) < 0 || !file.flush()) {
    Output(QStringLiteral("Cannot save %1: %2").arg(path, file.errorString()));
    return false;
  }
  Path = path;
  Widgets.lblScriptFile->setText(path);
  Remember(path);
  return true;
}

void ScriptTab::Run() {
  if (Script == nullptr) {
    return;
  }
  RunName = Path.isEmpty() ? QStringLiteral("new script") : QFileInfo(Path).fileName();
  Output(QStringLiteral("Running %1").arg(RunName));
  ShowRunning(true);
  Script->Start(Widgets.txtScript->toPlainText().toStdString(), RunName.toStdString(),
                {.AllowProcesses = Choices.RunPrograms});
}

void ScriptTab::Stop() {
  if (Script != nullptr) {
    Script->Stop();
  }
}

void ScriptTab::Output(const QString& line) {
  Widgets.txtScriptOutput->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) +
                                           line);
}

void ScriptTab::Ended(const script::RunStep& end) {
  if (end.State == script::RunState::Failed) {
    Output(FromUtf8(end.Error));
  } else {
    Output(QStringLiteral("%1 ended with exit code %2").arg(RunName).arg(end.ExitCode));
  }
  ShowRunning(false);
}

void ScriptTab::ShowRunning(bool running) {
  Widgets.cmdScriptRun->setEnabled(!running);
  Widgets.cmdScriptStop->setEnabled(running);
  RunningLabel.setText(running ? QStringLiteral("Script: %1 running").arg(RunName) : QString());
  RunningLabel.setVisible(running);
}

void ScriptTab::Remember(const QString& path) {
  app::RememberScript(Choices, QFileInfo(path).absoluteFilePath().toStdString());
  ShowRecent();
  if (Changed) {
    Changed(Choices);
  }
}

void ScriptTab::ShowRecent() {
  QComboBox& recent = *Widgets.cmbScriptRecent;
  recent.clear();
  recent.addItem(QStringLiteral("Recent scripts"));
  for (const std::string& file : Choices.Recent) {
    const QString path = FromUtf8(file);
    recent.addItem(QFileInfo(path).fileName(), path);
    recent.setItemData(recent.count() - 1, path, Qt::ToolTipRole);
  }
  recent.setCurrentIndex(0);
}

}  // namespace korvani::ui
