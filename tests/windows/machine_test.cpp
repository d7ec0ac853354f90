// The break window's machine pane: closed by default, F2 and its menu command,
// the state kept for later windows, its contents for the stack example and a
// deep stack, the commands executed at every pause, and what a step changed.
#include "app/startup.h"
#include "core/program.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/machinepane.h"
#include "windows/run.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace corvane;

namespace {

QStringList Column(const QAbstractItemModel* model, int column) {
    QStringList values;
    for (int r = 0; r < model->rowCount(); ++r)
        values << model->index(r, column).data().toString();
    while (!values.isEmpty() && values.last().isEmpty())
        values.removeLast();
    return values;
}

bool Lit(const QAbstractItemModel* model, int row, int column = 0) {
    return model->index(row, column).data(Qt::BackgroundRole).isValid();
}

// What one pause showed.
struct TSeen {
    QString Steps, WR, Changes, Description;
    QStringList Primary, Input;
    bool WRLit = false, PrimaryLit = false, InputLit = false, OutputsLit = false;
    bool FirstInputGreyed = false;
};

TSeen Look() {
    const TMachinePane* pane = fBreak->oMachine;
    const QAbstractItemModel* stacks = pane->oStacks->model();
    const QAbstractItemModel* input = pane->oInput->model();
    TSeen seen;
    seen.Steps = pane->oSteps->text();
    seen.WR = pane->oWR->text();
    seen.Changes = pane->oChanges->text();
    seen.Description = fBreak->accessibleDescription();
    seen.Primary = Column(stacks, 0);
    seen.Input = Column(input, 0);
    seen.WRLit = pane->WRChanged();
    seen.OutputsLit = pane->OutputsChanged();
    seen.PrimaryLit = Lit(stacks, 0, 0);
    for (int r = 0; r < input->rowCount(); ++r)
        seen.InputLit = seen.InputLit || Lit(input, r);
    seen.FirstInputGreyed = input->index(0, 0).data(Qt::ForegroundRole).isValid();
    return seen;
}

} // namespace

class MachinePaneTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;

private Q_SLOTS:
    void initTestCase() { windows_ = std::make_unique<TWindows>(); }
    void cleanupTestCase() { windows_.reset(); }

    // Closed, the window is the designed one; F2 opens and closes the pane
    // beside the list, and a later break window opens as the last one was left.
    void closedByDefaultToggledByF2AndKept() {
        QVERIFY(!fBreak->MachineOpen());
        QCOMPARE(fBreak->size(), QSize(296, 280));
        QStringList bar;
        for (QAction* a : fBreak->oMainMenu->actions())
            bar << a->objectName() + "=" + a->text() + "=" + a->shortcut().toString();
        QCOMPARE(bar, (QStringList{"mContinue=&Continue (F9)=F9", "mNext=&Next (F8)=F8",
                                   "mStop=&Stop (F5)=F5", "mBack=&Back (F7)=F7",
                                   "mMachine=&Machine (F2)=F2"}));

        fBreak->show();
        QApplication::setActiveWindow(fBreak);
        const int listed = fBreak->width();
        QTest::keyClick(fBreak, Qt::Key_F2);
        QVERIFY(fBreak->MachineOpen());
        QVERIFY(fBreak->mMachine->isChecked());
        QVERIFY(fBreak->oMachine->isVisible());
        fBreak->layout()->activate();
        QCOMPARE(fBreak->width(), listed + 320);

        {
            TfBreak later;
            QVERIFY(later.MachineOpen());
            later.mMachine->trigger();
            QVERIFY(!later.MachineOpen());
        }
        TfBreak closed;
        QVERIFY(!closed.MachineOpen());
        QCOMPARE(closed.size(), QSize(296, 280));

        QTest::keyClick(fBreak, Qt::Key_F2); // each window's toggle follows its own pane
        QVERIFY(!fBreak->MachineOpen());
        QCOMPARE(fBreak->width(), listed);
        fBreak->hide();
    }

    // Every stack a column, top first, all values; WR in decimal and hex.
    void showsTheStackExampleInFull() {
        TProgram& prog = *fRun->Prog;
        prog.ClearStacks();
        prog.AddStack("");
        prog.AddStack("A");
        prog.AddStack("B");
        for (uint32_t v : {5u, 6u, 7u, 8u, 9u})
            prog.PushValue(*prog.FindStack(nullptr), v);
        prog.PushValue(*prog.FindStack("B"), 2);
        prog.PushValue(*prog.FindStack("B"), 0xFFFFFFFFu);
        prog.WR = 0xFFFFFFFEu;
        prog.Steps = 41;
        fInput->InputList.Clear();
        fInput->InputList.Append(3);
        fInput->InputList.Append(4);
        uint32_t read;
        fInput->InputList.Rewind();
        fInput->InputList.Next(read);

        TMachinePane pane;
        pane.Note(prog, &fInput->InputList, 0);
        const QAbstractItemModel* stacks = pane.oStacks->model();
        QCOMPARE(stacks->columnCount(), 3);
        QCOMPARE(stacks->headerData(0, Qt::Horizontal).toString(), QString("B"));
        QCOMPARE(stacks->headerData(1, Qt::Horizontal).toString(), QString("A\nEMPTY"));
        QCOMPARE(stacks->headerData(2, Qt::Horizontal).toString(), QString("Primary Stack"));
        QCOMPARE(Column(stacks, 0), (QStringList{"-1", "2"}));
        QCOMPARE(Column(stacks, 1), QStringList{});
        QCOMPARE(Column(stacks, 2), (QStringList{"9", "8", "7", "6", "5"}));
        QCOMPARE(pane.oWR->text(), QString("WR: -2 (0xFFFFFFFE)"));
        QCOMPARE(pane.oSteps->text(), QString("Steps: 41"));
        // The value read is greyed, the next one marked; a first pause lights nothing.
        const QAbstractItemModel* input = pane.oInput->model();
        QCOMPARE(Column(input, 0), (QStringList{"  3", "> 4"}));
        QVERIFY(input->index(0, 0).data(Qt::ForegroundRole).isValid());
        QVERIFY(!input->index(1, 0).data(Qt::ForegroundRole).isValid());
        QVERIFY(!Lit(input, 1) && !Lit(stacks, 0, 0) && !pane.WRChanged());
        QCOMPARE(pane.oChanges->text(), QString());
    }

    void showsADeepStackWhole() {
        TProgram prog;
        prog.AddStack("");
        for (uint32_t v = 0; v < 10000; ++v)
            prog.PushValue(*prog.FindStack(nullptr), v);
        TMachinePane pane;
        pane.Note(prog, nullptr, 0);
        const QAbstractItemModel* stacks = pane.oStacks->model();
        QCOMPARE(stacks->rowCount(), 10000);
        QCOMPARE(stacks->index(0, 0).data().toString(), QString("9999"));
        QCOMPARE(stacks->index(9999, 0).data().toString(), QString("0"));
        QVERIFY(!stacks->index(10000, 0).data().isValid());
    }

    // A paused run, stepped with Next: the steps at every pause (pane open or
    // closed) and what each step changed, lit until the next step.
    void stepsAndChangesAtEveryPause() {
        fMain->oText->setPlainText("SET 7\r\nPUSH\r\nINPUT e\r\nOUTPUT\r\nPOP\r\nSET 1\r\n:e");
        fInput->oText->setPlainText("3 4");
        QList<TSeen> seen;
        TModalDriver driver;
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        for (int pause = 0; pause < 6; ++pause)
            driver.Then("fBreak", [&, pause](QWidget*) {
                if (pause == 1) fBreak->mMachine->trigger(); // opened after one pause
                seen << Look();
                if (pause == 5)
                    fBreak->mContinue->trigger();
                else
                    fBreak->mNext->trigger();
            });
        driver.Then(
            "fRun", [](QWidget*) { fRun->mClose->trigger(); },
            [] { return !fRun->windowTitle().endsWith(" - [run]"); });
        fRun->StartState = psBreak;
        fRun->Source = fMain->RunSource();
        fRun->exec();
        fBreak->mMachine->trigger();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(seen.size(), 6);

        QStringList description;
        for (const TSeen& s : seen)
            description << s.Description;
        QCOMPARE(description, (QStringList{"Commands executed: 0", "Commands executed: 1",
                                           "Commands executed: 2", "Commands executed: 3",
                                           "Commands executed: 4", "Commands executed: 5"}));
        QCOMPARE(seen[1].Steps, QString("Steps: 1"));
        QVERIFY(seen[1].WRLit); // SET 7, though the pane opened only now
        QCOMPARE(seen[1].WR, QString("WR: 7 (0x00000007)"));
        QCOMPARE(seen[2].Primary, QStringList{"7"}); // PUSH
        QVERIFY(seen[2].PrimaryLit && !seen[2].WRLit && !seen[2].InputLit);
        QCOMPARE(seen[2].Changes, QString("pushed 7 on Primary Stack"));
        QVERIFY(seen[3].WRLit && seen[3].InputLit && !seen[3].PrimaryLit); // INPUT
        QCOMPARE(seen[3].Input, (QStringList{"  3", "> 4"}));
        QCOMPARE(seen[3].Changes, QString("WR was 7; read 1 value"));
        QVERIFY(seen[3].FirstInputGreyed && !seen[2].FirstInputGreyed);
        QVERIFY(seen[4].OutputsLit && !seen[4].WRLit && !seen[4].InputLit); // OUTPUT
        QCOMPARE(seen[4].Changes, QString("printed 1 value"));
        QVERIFY(seen[5].Primary.isEmpty() && !seen[5].OutputsLit); // POP: the words say it
        QCOMPARE(seen[5].Changes, QString("popped 7 off Primary Stack"));
    }

    // A pause compares with the pause before it in the same run only: the
    // first pause of a run, later in its count than the last pause of the
    // run before, highlights nothing.
    void aNewRunComparesWithNothing() {
        fMain->oText->setPlainText("SET 7\r\nPUSH\r\nINPUT e\r\nOUTPUT // <BREAK>\r\n:e");
        fInput->oText->setPlainText("3");
        QList<TSeen> seen;
        TModalDriver driver;
        for (const int32_t state : {psBreak, psRun}) {
            driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
            if (state == psBreak) driver.Then("fBreak", [](QWidget*) { fBreak->mNext->trigger(); });
            driver.Then("fBreak", [&](QWidget*) {
                if (!fBreak->MachineOpen()) fBreak->mMachine->trigger();
                seen << Look();
                fBreak->mStop->trigger();
            });
            driver.Then(
                "fRun", [](QWidget*) { fRun->mClose->trigger(); },
                [] { return !fRun->windowTitle().endsWith(" - [run]"); });
        }
        for (const int32_t state : {psBreak, psRun}) {
            fRun->StartState = state;
            fRun->Source = fMain->RunSource();
            fRun->exec();
        }
        fBreak->mMachine->trigger();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[1].Steps, QString("Steps: 3"));
        QCOMPARE(seen[1].Changes, QString());
        QVERIFY(!seen[1].WRLit && !seen[1].InputLit && !seen[1].PrimaryLit);
    }

    // Back from the run window's point of view: the output loses its last
    // value, the stop line and the panels go back, a marked line does not
    // stop it, and at the first command Back is disabled.
    void backUndoesOutputAndTheStopLine() {
        fMain->oText->setPlainText("INPUT e\r\nPUSH\r\nOUTPUT // <BREAK>\r\nPOP\r\nSET 2\r\n:e");
        fInput->oText->setPlainText("5");
        struct TPause {
            uint64_t Steps;
            int Line;
            QString Output, WR, In, Stack;
            bool BackEnabled;
        };
        QList<TPause> seen;
        const auto look = [&] {
            seen << TPause{fRun->Prog->Steps,         fRun->StopLine,       fRun->OutputText(),
                           fBreak->PanelText(0),      fBreak->PanelText(1), fBreak->PanelText(2),
                           fBreak->mBack->isEnabled()};
        };
        TModalDriver driver;
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        // Stopped at the marked OUTPUT line, then Next twice (OUTPUT, POP), then
        // Back four times to the start, F7 being the key.
        driver.Then("fBreak", [&](QWidget*) { look(), fBreak->mNext->trigger(); });
        driver.Then("fBreak", [&](QWidget*) { look(), fBreak->mNext->trigger(); });
        for (int back = 0; back < 4; ++back)
            driver.Then("fBreak", [&](QWidget* w) {
                look();
                QApplication::setActiveWindow(w);
                QTest::keyClick(w, Qt::Key_F7);
            });
        driver.Then("fBreak", [&](QWidget*) { look(), fBreak->mContinue->trigger(); });
        // The marked line stops the run again, as in the first run.
        driver.Then("fBreak", [&](QWidget*) { look(), fBreak->mContinue->trigger(); });
        driver.Then(
            "fRun", [](QWidget*) { fRun->mClose->trigger(); },
            [] { return !fRun->windowTitle().endsWith(" - [run]"); });
        fRun->StartState = psRun;
        fRun->Source = fMain->RunSource();
        fRun->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(seen.size(), 8);
        QCOMPARE(seen[7].Steps, 2u);
        QCOMPARE(seen[7].Stack, seen[0].Stack);
        seen.removeLast();
        QList<uint64_t> steps;
        QList<int> lines;
        QStringList outputs;
        for (const TPause& p : seen)
            steps << p.Steps, lines << p.Line, outputs << p.Output;
        QCOMPARE(steps, (QList<uint64_t>{2, 3, 4, 3, 2, 1, 0}));
        QCOMPARE(lines, (QList<int>{3, 4, 5, 4, 3, 2, 1}));
        QCOMPARE(outputs, (QStringList{"", "5 ", "5 ", "5 ", "", "", ""}));
        QCOMPARE(seen[3].Stack, seen[1].Stack); // the popped value is back
        QCOMPARE(seen[3].Stack, QString("Primary Stack: 5; "));
        QCOMPARE(seen[6].In, QString("In: 5")); // the input read is unread again
        QCOMPARE(seen[5].In, QString("In: EMPTY"));
        QCOMPARE(seen[6].WR, QString("WR: 0"));
        QVERIFY(seen[5].BackEnabled && !seen[6].BackEnabled);
        QCOMPARE(fRun->OutputText(), QString("5 ")); // Continue ran on from the start
    }
};

QTEST_MAIN(MachinePaneTest)
#include "machine_test.moc"
