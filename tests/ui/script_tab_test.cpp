// SPDX-License-Identifier: GPL-3.0-or-later
// The Script tab as a user works it: a script opened, run on the window's board, its output
// with times, the status bar naming it, Stop ending even an endless loop at once, and the
// recent list and the tick kept as the program's choices.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "ui/script_file.h"
#include "ui/window_on_fakes.h"

namespace {

class ScriptTabTest : public QObject {
  Q_OBJECT

 private slots:
  void aScriptOpenedRunsOnTheWindowsBoard() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    QTemporaryDir folder;
    const QString path = korvani::testing::WriteScript(
        folder, "hello.lua", "send('hi')\nlog('sent', 1 + 1)\nexpect('ok', 5)\nlog('done')\n");
    QVERIFY(!path.isEmpty());
    korvani::ui::ScriptTab& tab = window.Scripts();
    const korvani::ui::FrmTerminalUi ui = window.Ui();
    QVERIFY(tab.OpenScript(path));
    QCOMPARE(ui.lblScriptFile->text(), path);
    QCOMPARE(ui.cmbScriptRecent->count(), 2);  // its caption, and the script
    QCOMPARE(panel.Scripts().Recent.size(), std::size_t{1});

    ui.cmdScriptRun->click();
    QTRY_VERIFY(port.Written.find("hi") != std::string::npos);
    QVERIFY(!ui.cmdScriptRun->isEnabled());
    QVERIFY(ui.cmdScriptStop->isEnabled());
    QVERIFY(ui.lblScriptRunning->isVisible());
    QCOMPARE(ui.lblScriptRunning->text(), QStringLiteral("Script: hello.lua running"));
    port.Arrive("ok");
    QTRY_VERIFY(!tab.Running());
    const QString output = ui.txtScriptOutput->toPlainText();
    QVERIFY2(
        output.contains(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  sent\\t2\\n"))),
        qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("hello.lua ended with exit code 0")), qPrintable(output));
    QVERIFY(!ui.lblScriptRunning->isVisible());
    QVERIFY(ui.cmdScriptRun->isEnabled());
  }

  // An endless loop leaves the window working, and Stop ends it at once.
  void stopEndsAnEndlessLoop() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    window.show();
    const korvani::ui::FrmTerminalUi ui = window.Ui();
    ui.txtScript->setPlainText(QStringLiteral("local n = 0\nwhile true do n = n + 1 end"));
    ui.cmdScriptRun->click();
    QTest::qWait(200);  // the window's events go on between the script's slices
    QVERIFY(window.Scripts().Running());
    QElapsedTimer stopping;
    stopping.start();
    ui.cmdScriptStop->click();
    QVERIFY(!window.Scripts().Running());
    QVERIFY(stopping.elapsed() < 100);
    QVERIFY2(ui.txtScriptOutput->toPlainText().contains(QStringLiteral("new script: stopped")),
             qPrintable(ui.txtScriptOutput->toPlainText()));
  }

  void theTickIsKeptAsTheProgramsChoice() {
    WindowOnFakes board;
    auto [port, window, panel] = board.Parts();
    panel.FormLoad();
    const korvani::ui::FrmTerminalUi ui = window.Ui();
    QVERIFY(!ui.chkScriptPrograms->isChecked());
    ui.chkScriptPrograms->click();
    QVERIFY(panel.Scripts().RunPrograms);
  }
};

}  // namespace

QTEST_MAIN(ScriptTabTest)
#include "script_tab_test.moc"
