// Run > Check through the real windows: the suite beside the file or the one
// asked for, the marks, points and summary of a passing and a failing program
// (the editor's unsaved text), what a hidden case keeps to itself, the trace
// of a failing case with its input preset, a suite error, and a close that
// ends the check.
#include "app/startup.h"
#include "core/inputlist.h"
#include "core/program.h"
#include "suite/suite.h"
#include "support/fakedialogs.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/check.h"
#include "windows/checkdetails.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// Adds up its input numbers and prints the sum.
const char* const kSum = "STACK total\n"
                         "        SET 0\n"
                         "        PUSH total\n"
                         ":next   INPUT done\n"
                         "        ADD total\n"
                         "        PUSH total\n"
                         "        GOTO next\n"
                         ":done   SET total\n"
                         "        OUTPUT\n";

// Prints its first input number: right for one number, wrong for more.
const QString kFirst = QStringLiteral("INPUT none\nOUTPUT\n:none");

const char* const kSuite = "[[case]]\n"
                           "name = \"three numbers\"\n"
                           "input = \"1 2 3\"\n"
                           "output = \"6\"\n"
                           "points = 2\n"
                           "\n"
                           "[[case]]\n"
                           "name = \"two numbers\"\n"
                           "input = \"40 2\"\n"
                           "output = \"42\"\n"
                           "\n"
                           "[[case]]\n"
                           "name = \"secret\"\n"
                           "input = \"31337\"\n"
                           "output = \"31337\"\n"
                           "hidden = true\n";

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

TfCheck* Check() {
    return fMain->findChild<TfCheck*>(QStringLiteral("fCheck"));
}

QStringList Column(int column) {
    QStringList texts;
    for (int i = 0; i < Check()->oCases->topLevelItemCount(); ++i)
        texts << Check()->oCases->topLevelItem(i)->text(column);
    return texts;
}

// Replaces the editor's text by an edit, as typing does: the document is modified.
void Edit(const QString& text) {
    fMain->oText->selectAll();
    fMain->oText->insertPlainText(text);
}

void Select(int row) {
    Check()->oCases->setCurrentItem(Check()->oCases->topLevelItem(row));
}

bool RunOver() {
    return !fRun->windowTitle().endsWith(QStringLiteral(" - [run]"));
}

} // namespace

class CheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Opens a document through File > Open, the open dialog answered.
    void Open(const QString& path) {
        TFakeDialogs dialogs;
        dialogs.openPaths = {path};
        fMain->oText->document()->setModified(false);
        fMain->mOpenClick();
        QCOMPARE(fMain->File.Name, QFileInfo(path).fileName());
    }

    // Ctrl+F9 in the editor (or in the Check window), then waits until every
    // case has run.
    void CheckNow(QWidget* window = fMain) {
        QApplication::setActiveWindow(window);
        QTest::keyClick(window, Qt::Key_F9, Qt::ControlModifier);
        QVERIFY(Check() && Check()->isVisible());
        QTRY_VERIFY(!Check()->Running());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        WriteFile(Path("sum.cv"), kSum);
        WriteFile(Path("sum.cvtest"), kSuite);
        WriteFile(Path("other.cvtest"),
                  "[[case]]\nname = \"one\"\ninput = \"5\"\noutput = \"5\"\n");
        windows_ = std::make_unique<TWindows>();
        fMain->show();
    }
    void cleanupTestCase() { windows_.reset(); }
    void cleanup() {
        if (Check()) Check()->reject();
    }

    // The suite beside the file checks the editor's text as it stands: saved
    // and right, then edited (unsaved) and partly wrong.
    void passingThenFailingProgram() {
        Open(Path("sum.cv"));
        TFakeDialogs dialogs;
        CheckNow();
        QCOMPARE(dialogs.openDialogs, 0);
        QCOMPARE(Check()->windowTitle(), QStringLiteral("sum.cv - Check"));
        QCOMPARE(Check()->oSummary->text(), QStringLiteral("3 of 3 passed, 4 of 4 points"));
        QCOMPARE(Column(TfCheck::ColMark), QStringList({"PASS", "PASS", "PASS"}));
        QCOMPARE(Column(TfCheck::ColName), QStringList({"three numbers", "two numbers", "secret"}));
        QCOMPARE(Column(TfCheck::ColPoints), QStringList({"2/2", "1/1", "1/1"}));

        Edit(kFirst);
        CheckNow(Check());
        QVERIFY(fMain->Modified());
        QCOMPARE(Check()->oSummary->text(), QStringLiteral("1 of 3 passed, 1 of 4 points"));
        QCOMPARE(Column(TfCheck::ColMark), QStringList({"FAIL", "FAIL", "PASS"}));
        QCOMPARE(Column(TfCheck::ColPoints), QStringList({"0/2", "0/1", "1/1"}));
        Select(1);
        QCOMPARE(Check()->oDetails->toPlainText(), QStringLiteral("Result:   failed: wrong output\n"
                                                                  "Input:    40 2\n"
                                                                  "Expected: 42\n"
                                                                  "Actual:   40\n"
                                                                  "           ^ first difference\n"
                                                                  "Steps:    2\n"));
        QVERIFY(Check()->oTrace->isEnabled());
        Select(2); // passed
        QVERIFY(!Check()->oTrace->isEnabled());
    }

    // A hidden case tells whether it passed, nothing of its data, and cannot
    // be traced (its input would show).
    void hiddenCaseShowsNothingOfItsData() {
        Open(Path("sum.cv"));
        fMain->oText->setPlainText(QString(kSum).replace("SET 0", "SET 1"));
        CheckNow();
        QCOMPARE(Check()->oSummary->text(), QStringLiteral("0 of 3 passed, 0 of 4 points"));
        Select(2);
        const QString details = Check()->oDetails->toPlainText();
        QCOMPARE(details, QStringLiteral("Result:   failed: wrong output\n"
                                         "          (a hidden case: its data is not shown)\n"));
        QVERIFY(!Check()->oTrace->isEnabled());
        QStringList traced;
        const auto editorTrace = Check()->TraceRequested;
        Check()->TraceRequested = [&](const QString& input) { traced << input; };
        QTest::keyClick(Check()->oCases, Qt::Key_Return);
        Check()->oTrace->click();
        Select(0);
        QTest::keyClick(Check()->oCases, Qt::Key_Return);
        Check()->TraceRequested = editorTrace;
        QCOMPARE(traced, QStringList({"1 2 3"}));
    }

    // A double-click (or Enter) on a failing case traces it in the run
    // window with its input accepted: the break window comes first, the
    // output is the program's for that input, the input dialog never shows
    // and keeps its memo.
    void failingCaseTracesWithItsInput() {
        Open(Path("sum.cv"));
        fMain->oText->setPlainText(kFirst);
        fInput->oText->setPlainText(QStringLiteral("9 9"));
        const int history = fInput->oOldInputs->count();
        CheckNow();

        struct TTrace {
            std::vector<uint32_t> input;
            int line = 0;
            QString output;
        };
        const auto trace = [&](const std::function<void()>& start) {
            TTrace seen;
            TModalDriver driver;
            driver.Then("fBreak", [&](QWidget*) {
                seen.input = fInput->InputList.Values();
                seen.line = fRun->StopLine;
                fBreak->mContinue->trigger();
            });
            driver.Then(
                "fRun",
                [&](QWidget*) {
                    seen.output = fRun->OutputText();
                    fRun->mClose->trigger();
                },
                RunOver);
            start();
            [&] { QVERIFY2(driver.Done(), qPrintable(driver.Report())); }();
            return seen;
        };

        Select(0);
        QTreeWidget* list = Check()->oCases;
        const TTrace first = trace([&] {
            const QRect rect = list->visualItemRect(list->topLevelItem(0));
            // As the window system tells a double-click: a click, then the second press.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        });
        QCOMPARE(first.input, (std::vector<uint32_t>{1, 2, 3}));
        QCOMPARE(first.line, 1);
        QCOMPARE(first.output, QStringLiteral("1 "));

        Select(1);
        const TTrace second = trace([&] { QTest::keyClick(list, Qt::Key_Return); });
        QCOMPARE(second.input, (std::vector<uint32_t>{40, 2}));
        QCOMPARE(second.output, QStringLiteral("40 "));
        // The keys are back where the trace was asked for.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(Check()));

        QCOMPARE(fInput->oText->toPlainText(), QStringLiteral("9 9"));
        QCOMPARE(fInput->oOldInputs->count(), history);
        // The next plain Run asks for its input again.
        TModalDriver driver;
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        driver.Then(
            "fRun", [](QWidget*) { fRun->mClose->trigger(); }, RunOver);
        fMain->mRun->trigger();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(fRun->OutputText(), QStringLiteral("9 "));
        fInput->oText->clear();
    }

    // A case whose input no run could read says so, as the input dialog
    // would, and runs nothing.
    void unreadableInputEndsTheTrace() {
        WriteFile(Path("odd.cv"), kFirst.toUtf8());
        WriteFile(Path("odd.cvtest"),
                  "[[case]]\nname = \"odd\"\ninput = \"1 x\"\noutput = \"1\"\n");
        Open(Path("odd.cv"));
        CheckNow();
        QCOMPARE(Column(TfCheck::ColMark), QStringList({"FAIL"}));
        TFakeDialogs dialogs;
        Select(0);
        QTest::keyClick(Check()->oCases, Qt::Key_Return);
        QCOMPARE(dialogs.errors, QStringList({"Unrecognized character ..."}));
        QVERIFY(!fRun->isVisible());
        QCOMPARE(fRun->Prog->State, corvane::psFailed);
    }

    // Without a suite beside the document the user is asked (Cancel checks
    // nothing); the choice holds for the document until another one comes.
    void suiteIsAskedForWhenNoneIsBeside() {
        TFakeDialogs dialogs;
        fMain->oText->document()->setModified(false);
        fMain->mNewClick();
        fMain->oText->setPlainText(QStringLiteral("INPUT none\nOUTPUT\n:none"));
        fMain->mCheck->trigger();
        QCOMPARE(dialogs.openDialogs, 1);
        QCOMPARE(dialogs.lastFilter, QStringLiteral("Test suites (*.cvtest)|*.cvtest"));
        QVERIFY(!Check() || !Check()->isVisible());

        dialogs.openPaths = {Path("other.cvtest")};
        CheckNow();
        QCOMPARE(Check()->windowTitle(), QStringLiteral("Untitled - Check"));
        QCOMPARE(Check()->oSummary->text(), QStringLiteral("1 of 1 passed, 1 of 1 points"));
        CheckNow();
        QCOMPARE(dialogs.openDialogs, 2);

        fMain->oText->document()->setModified(false);
        fMain->mNewClick();
        QVERIFY(!Check()->isVisible());
        fMain->mCheck->trigger();
        QCOMPARE(dialogs.openDialogs, 3);
    }

    // A suite that cannot be used says where, and nothing is checked.
    void suiteErrorIsShown() {
        WriteFile(Path("bad.cv"), "SET 1\nOUTPUT\n");
        WriteFile(Path("bad.cvtest"), "[[case]]\nname = \"one\"\noutput = \"1\"\npionts = 2\n");
        Open(Path("bad.cv"));
        TFakeDialogs dialogs;
        fMain->mCheck->trigger();
        QCOMPARE(dialogs.errors, QStringList({"bad.cvtest:4:1: unknown key 'pionts'"}));
        QVERIFY(!Check() || !Check()->isVisible());
    }

    // The details line values up whatever their layout, point at the first
    // difference (by line and column where the output spans lines), and give
    // an error its line and column.
    void detailsMarkTheFirstDifference() {
        using namespace corvane::suite;
        TCase values;
        values.Input = "1\n2";
        values.Expected = "10\n20\n30";
        TCaseResult wrong;
        wrong.Reason = TReason::WrongOutput;
        wrong.Steps = 9;
        wrong.Output = "10 20 31 \n";
        QCOMPARE(CaseDetails(values, &wrong), QStringLiteral("Result:   failed: wrong output\n"
                                                             "Input:    1\n"
                                                             "          2\n"
                                                             "Expected: 10 20 30\n"
                                                             "Actual:   10 20 31\n"
                                                             "                 ^ first difference\n"
                                                             "Steps:    9\n"));
        TCase exact;
        exact.Expected = "a\nb";
        exact.Compare = TCompare::Exact;
        wrong.Output = "a\nc\n";
        QVERIFY(CaseDetails(exact, &wrong)
                    .contains("\n          first difference at line 2, column 1 of the output\n"));
        TCase error;
        error.Input = "5 0";
        error.Outcome = TOutcome::Error;
        error.Expected = "Division by zero";
        error.ErrorLine = 7;
        TCaseResult failed;
        failed.Reason = TReason::Error;
        failed.Steps = 4;
        failed.Error = TRunError{3, 9, "Stack is empty! Cannot read value ..."};
        QCOMPARE(
            CaseDetails(error, &failed),
            QStringLiteral("Result:   failed: an error the case does not expect\n"
                           "Input:    5 0\n"
                           "Expected: an error: Division by zero (line 7)\n"
                           "Actual:   (no output)\n"
                           "Error:    line 3, column 9: Stack is empty! Cannot read value ...\n"
                           "Steps:    4\n"));
    }

    // Closing the window ends the case at hand and runs no other (each would
    // otherwise go on for its whole timeout).
    void closingEndsTheCheck() {
        WriteFile(Path("loop.cv"), ":l ADD 1\nGOTO l\n");
        QByteArray suite = "max-steps = 1000000000000000\n";
        for (const char* name : {"a", "b", "c"})
            suite += QByteArray("[[case]]\nname = \"") + name +
                     "\"\ninput = \"\"\noutput = \"1\"\ntimeout = 1000\n";
        WriteFile(Path("loop.cvtest"), suite);
        Open(Path("loop.cv"));
        fMain->mCheck->trigger();
        QVERIFY(Check()->Running());
        QCOMPARE(Check()->oSummary->text(), QStringLiteral("Checking: 0 of 3 cases run"));
        QApplication::setActiveWindow(Check());
        QTest::keyClick(Check(), Qt::Key_Escape);
        QVERIFY(!Check()->isVisible());
        QVERIFY(!Check()->Running());
        QCOMPARE(Check()->oSummary->text(), QStringLiteral("Stopped: 0 of 3 cases run"));
        QCOMPARE(Column(TfCheck::ColMark), QStringList({"...", "...", "..."}));
    }
};

QTEST_MAIN(CheckTest)
#include "check_test.moc"
