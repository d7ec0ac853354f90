// The break window: tab expansion, the "<BREAK>" marks and the stop test, the
// panels of the paused machine, the double-click message, and how each of
// its commands ends the pause.
#include "app/startup.h"
#include "core/appstrings.h"
#include "core/program.h"
#include "gui/infobox.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"
#include "windows/stacksummary.h"

#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QtTest>

#include <memory>

using namespace corvane;

namespace {

// Stacks as a program declaring A then B leaves them: B newest, primary last.
void FillExample(TProgram& prog) {
    prog.ClearStacks();
    prog.AddStack("");
    prog.AddStack("A");
    prog.AddStack("B");
    for (uint32_t v : {5u, 6u, 7u, 8u, 9u})
        prog.PushValue(*prog.FindStack(nullptr), v);
    prog.PushValue(*prog.FindStack("B"), 2);
    prog.PushValue(*prog.FindStack("B"), 1);
}

} // namespace

class BreakWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;

    static void SetEditor(const QString& text) { fMain->oText->setPlainText(text); }

    static QList<bool> Marks() {
        QList<bool> marks;
        for (int i = 0; i < fBreak->oCheckListBox->count(); ++i)
            marks << (fBreak->oCheckListBox->item(i)->checkState() == Qt::Checked);
        return marks;
    }

    int ShowAndAnswer(TModalDriver::TAction act) {
        TModalDriver driver;
        driver.Then("fBreak", std::move(act));
        const int result = fBreak->exec();
        if (!driver.Done()) qWarning() << driver.Report();
        return result;
    }

private Q_SLOTS:
    void initTestCase() { windows_ = std::make_unique<TWindows>(); }
    void cleanupTestCase() { windows_.reset(); }
    void init() { fRun->RunToLine = 0; }

    void expandTabsFillsToTheNextSixteenthColumn_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("none") << "SET 1"
                              << "SET 1";
        QTest::newRow("column 3") << "ABC\tX"
                                  << "ABC" + QString(13, ' ') + "X";
        QTest::newRow("column 0") << "\tX" << QString(16, ' ') + "X";
        QTest::newRow("two at 0") << "\t\t" << QString(32, ' ');
        QTest::newRow("column 15") << QString(15, 'a') + "\t|" << QString(15, 'a') + " |";
        QTest::newRow("column 16")
            << QString(16, 'a') + "\t|" << QString(16, 'a') + QString(16, ' ') + "|";
    }
    void expandTabsFillsToTheNextSixteenthColumn() {
        QFETCH(QString, line);
        QFETCH(QString, expanded);
        QCOMPARE(TfBreak::ExpandTabs(line), expanded);
    }

    void stackSummary() {
        TProgram prog;
        FillExample(prog);
        QCOMPARE(StackSummary(prog), QString("B: 1,2; A: EMPTY; Primary Stack: 9,8,7,6,...; "));
        prog.DropValue(*prog.FindStack(nullptr)); // four values left: no "..."
        prog.PushValue(*prog.FindStack("A"), 0x80000000u);
        prog.PushValue(*prog.FindStack("A"), 0xFFFFFFFFu);
        QCOMPARE(StackSummary(prog),
                 QString("B: 1,2; A: -1,-2147483648; Primary Stack: 8,7,6,5; "));
        TProgram bare;
        bare.AddStack("");
        QCOMPARE(StackSummary(bare), QString("Primary Stack: EMPTY; "));
        QCOMPARE(SignedText(2147483647u), QString("2147483647"));
    }

    void prepareRunListsLinesAndMarksBreakInAnyCase() {
        SetEditor("SET 1 // <BREAK>\r\n\tOUTPUT\r\n// <break>\r\nEXIT // <Break>\r\nx<brea k>");
        fBreak->PrepareRun();
        QCOMPARE(fBreak->windowTitle(), fMain->Caption() + " - [break]");
        QCOMPARE(fBreak->oCheckListBox->count(), 5);
        QCOMPARE(fBreak->oCheckListBox->item(1)->text(), QString(16, ' ') + "OUTPUT");
        QCOMPARE(Marks(), (QList<bool>{true, false, true, true, false}));
        QVERIFY(fBreak->IsStopLine(0));
        QVERIFY(!fBreak->IsStopLine(1));
        QVERIFY(!fBreak->IsStopLine(-1));
        QVERIFY(!fBreak->IsStopLine(-2));
        QVERIFY(!fBreak->IsStopLine(5));

        // Marks of an earlier run are dropped by the next PrepareRun.
        fBreak->SetStopLine(1, true);
        fBreak->SetStopLine(0, false);
        fBreak->SetStopLine(7, true); // beyond the editor's lines: ignored
        QVERIFY(fBreak->IsStopLine(1) && !fBreak->IsStopLine(0) && !fBreak->IsStopLine(7));
        fBreak->PrepareRun();
        QCOMPARE(Marks(), (QList<bool>{true, false, true, true, false}));
    }

    void runToLineIsAStopLineWhileSet() {
        SetEditor("SET 1\r\nSET 2\r\nSET 3");
        fBreak->PrepareRun();
        QVERIFY(!fBreak->IsStopLine(1));
        fRun->RunToLine = 2;
        QVERIFY(fBreak->IsStopLine(1));
        QVERIFY(!fBreak->IsStopLine(0));
        fRun->RunToLine = 9; // beyond the lines: still the run-to line
        QVERIFY(fBreak->IsStopLine(8));
        fRun->RunToLine = 0;
        QVERIFY(!fBreak->IsStopLine(-1));
    }

    // Marks toggled by the user during a pause reach the stop test when the pause ends.
    void marksChangedDuringAPauseActAfterIt() {
        SetEditor("SET 1\r\nSET 2 // <BREAK>\r\nSET 3");
        fBreak->PrepareRun();
        const int result = ShowAndAnswer([](QWidget*) {
            fBreak->oCheckListBox->item(0)->setCheckState(Qt::Checked);
            fBreak->oCheckListBox->item(1)->setCheckState(Qt::Unchecked);
            fBreak->mContinue->trigger();
        });
        QCOMPARE(result, TfBreak::ResultContinue);
        QVERIFY(fBreak->IsStopLine(0));
        QVERIFY(!fBreak->IsStopLine(1));
    }

    void panelsShowTheMachine() {
        SetEditor("A\r\nB\r\nC");
        fBreak->PrepareRun();
        FillExample(*fRun->Prog);
        fRun->Prog->WR = 0;
        fRun->StopLine = 2;
        fInput->InputList.Parse("3 4");
        fInput->InputList.Rewind();
        QStringList panels;
        int row = -2;
        ShowAndAnswer([&](QWidget*) {
            panels << fBreak->PanelText(0) << fBreak->PanelText(1) << fBreak->PanelText(2);
            row = fBreak->oCheckListBox->currentRow();
            fBreak->mContinue->trigger();
        });
        QCOMPARE(panels,
                 (QStringList{"WR: 0", "In: 3", "B: 1,2; A: EMPTY; Primary Stack: 9,8,7,6,...; "}));
        QCOMPARE(row, 1);

        // Signed register, no input left, the end record (no line selected).
        fRun->Prog->WR = 0x80000000u;
        fInput->InputList.Parse("");
        fRun->StopLine = -1;
        ShowAndAnswer([&](QWidget*) {
            panels = {fBreak->PanelText(0), fBreak->PanelText(1)};
            row = fBreak->oCheckListBox->currentRow();
            fBreak->mContinue->trigger();
        });
        QCOMPARE(panels, (QStringList{"WR: -2147483648", "In: EMPTY"}));
        QVERIFY(fBreak->oCheckListBox->selectedItems().isEmpty());
    }

    void doubleClickShowsOneStackPerLine() {
        SetEditor("A");
        fBreak->PrepareRun();
        FillExample(*fRun->Prog);
        QStringList titles, texts;
        const TInfoBoxHook previous = SetInfoBoxHook([&](const QString& t, const QString& m) {
            titles << t;
            texts << m;
        });
        ShowAndAnswer([](QWidget*) {
            QTest::mouseDClick(fBreak->oStatusBar, Qt::LeftButton);
            QTest::mouseDClick(fBreak->oStatusBar, Qt::LeftButton);
            fBreak->mContinue->trigger();
        });
        SetInfoBoxHook(previous);
        const QString expected = "B: 1,2\n A: EMPTY\n Primary Stack: 9,8,7,6,...\n ";
        QCOMPARE(texts, (QStringList{expected, expected}));
        QCOMPARE(titles.value(0), fBreak->windowTitle());
    }

    // The real box: once it is closed the window has the keys again, with no
    // window manager to hand the activation back (offscreen, bare Xvfb).
    void keysActAgainAfterTheStackMessage() {
        SetEditor("A");
        fBreak->PrepareRun();
        FillExample(*fRun->Prog);
        const TInfoBoxHook previous = SetInfoBoxHook({});
        TModalDriver driver;
        driver.Then("fBreak",
                    [](QWidget*) { QTest::mouseDClick(fBreak->oStatusBar, Qt::LeftButton); });
        driver.Then("", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        driver.Then("fBreak", [](QWidget*) { QTest::keyClick(fBreak->oCheckListBox, Qt::Key_F8); });
        const int result = fBreak->exec();
        SetInfoBoxHook(previous);
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(result, TfBreak::ResultNext);
    }

    // Lines are listed at the program font's fixed item height.
    void listItemsAreFifteenPixelsHigh() {
        SetEditor("SET 1\r\nSET 2");
        fBreak->PrepareRun();
        QCOMPARE(fBreak->oCheckListBox->sizeHintForRow(0), 15);
        QCOMPARE(fBreak->oCheckListBox->sizeHintForRow(1), 15);
    }

    void commandsEndThePauseWithTheirResults_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("F9 continues") << int(Qt::Key_F9) << TfBreak::ResultContinue;
        QTest::newRow("Esc continues") << int(Qt::Key_Escape) << TfBreak::ResultContinue;
        QTest::newRow("F8 steps") << int(Qt::Key_F8) << TfBreak::ResultNext;
        QTest::newRow("F5 stops") << int(Qt::Key_F5) << TfBreak::ResultStop;
        QTest::newRow("close box stops") << 0 << TfBreak::ResultStop;
    }
    void commandsEndThePauseWithTheirResults() {
        QFETCH(int, key);
        QFETCH(int, result);
        SetEditor("SET 1");
        fBreak->PrepareRun();
        QCOMPARE(ShowAndAnswer([key](QWidget*) {
                     if (key == 0)
                         fBreak->close();
                     else
                         QTest::keyClick(fBreak->oCheckListBox, Qt::Key(key));
                 }),
                 result);
    }

    void spaceTogglesTheMarkOfTheSelectedLine() {
        SetEditor("SET 1\r\nSET 2");
        fBreak->PrepareRun();
        fRun->StopLine = 2;
        ShowAndAnswer([](QWidget*) {
            fBreak->oCheckListBox->setFocus();
            QTest::keyClick(fBreak->oCheckListBox, Qt::Key_Space);
            fBreak->mContinue->trigger();
        });
        QCOMPARE(Marks(), (QList<bool>{false, true}));
        QVERIFY(fBreak->IsStopLine(1));
    }
};

QTEST_MAIN(BreakWindowTest)
#include "break_test.moc"
