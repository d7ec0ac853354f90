// The road of a run as the user meets it, through the editor's Run, Trace and
// Run To Cursor and the real run, input and break windows: failures with the
// failing character selected, a cancelled input, a run to the end, pauses at
// marks, steps, Break, Stop, and the refusal to close while running.
#include "app/startup.h"
#include "core/appstrings.h"
#include "core/program.h"
#include "gui/modals.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/outputview.h"
#include "windows/run.h"

#include <QAction>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

#include <memory>

using namespace corvane;

namespace {

const QString kEndless = ":l ADD 1\r\nGOTO l";

void SetEditor(const QString& text) {
    fMain->oText->setPlainText(text);
}

// Puts the caret at the start of a 0-based editor line.
void CaretToLine(int line) {
    QTextCursor c(fMain->oText->document()->findBlockByNumber(line));
    fMain->oText->setTextCursor(c);
}

// A key as the user types it into the active window (so that shortcuts act).
void Press(QWidget* window, Qt::Key key) {
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, key);
}

void AcceptInput(QWidget*) {
    fInput->oOkButton->click();
}
void Continue(QWidget*) {
    fBreak->mContinue->trigger();
}
void Next(QWidget*) {
    fBreak->mNext->trigger();
}

bool RunOver() {
    return !fRun->windowTitle().endsWith(" - [run]");
}
bool Running() {
    return fRun->Prog->State == psRun;
}

// The line (1-based) the break window shows as the next command.
int PausedLine() {
    return fBreak->oCheckListBox->currentIndex().row() + 1;
}

} // namespace

class RunWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    std::unique_ptr<TScopedErrorSink> sink_;
    QStringList errors_;
    QStringList panelsAtError_; // panel 0 and the output while each error box was up
    int result_ = -1;

    // Shows the run window as the editor's Run would, with the given steps.
    void RunWith(TModalDriver& driver, int32_t state = psRun, int32_t runToLine = 0) {
        fRun->StartState = state;
        fRun->RunToLine = runToLine;
        result_ = fRun->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
    }

    // The steps that end a run that is over: Esc closes it.
    static void CloseWhenOver(TModalDriver& driver, QString* caption = nullptr) {
        driver.Then(
            "fRun",
            [caption](QWidget*) {
                if (caption) *caption = fRun->windowTitle();
                Press(fRun, Qt::Key_Escape);
            },
            RunOver);
    }

private Q_SLOTS:
    void initTestCase() {
        windows_ = std::make_unique<TWindows>();
        sink_ = std::make_unique<TScopedErrorSink>([this](std::string_view m) {
            errors_ << QString::fromUtf8(m.data(), m.size());
            panelsAtError_ << fRun->PanelText(0) << fRun->OutputText();
        });
        fInput->oText->clear();
    }
    void cleanupTestCase() {
        sink_.reset();
        windows_.reset();
    }
    void init() {
        errors_.clear();
        panelsAtError_.clear();
        result_ = -1;
    }

    // A failing phase closes the window with 8, and the editor selects exactly
    // the failing character, converting the CR LF position to its own.
    void failureSelectsTheFailingCharacter_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("docPos");
        QTest::addColumn<bool>("asksInput");
        QTest::addColumn<QStringList>("atError"); // panel 0 and the output under the box
        QTest::newRow("parse, first line")
            << "SET #"
            << "Unrecognized character ..." << 4 << false << QStringList{"Line: 1", ""};
        QTest::newRow("parse, third line")
            << "SET 1\r\nOUTPUT\r\nFOO 2"
            << "Unrecognized expression ..." << 13 << false << QStringList{"Line: 3", ""};
        QTest::newRow("link, second line")
            << "SET 1\r\n  GOTO nowhere"
            << "Label identificator not found ..." << 8 << false << QStringList{"Line: 2", ""};
        QTest::newRow("run, third line") << "SET 1\r\nOUTPUT\r\nPOP"
                                         << "Stack is empty! Cannot read value ..." << 13 << true
                                         << QStringList{"Line: 3", "1 "};
    }
    void failureSelectsTheFailingCharacter() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(int, docPos);
        QFETCH(bool, asksInput);
        QFETCH(QStringList, atError);
        SetEditor(text);
        fMain->oText->document()->setModified(false);
        TModalDriver driver;
        if (asksInput) driver.Then("fInput", AcceptInput);
        fMain->mRunClick();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(errors_, QStringList{message});
        QCOMPARE(panelsAtError_, atError);
        QVERIFY(!fRun->isVisible());
        const QTextCursor c = fMain->oText->textCursor();
        QCOMPARE(c.selectionStart(), docPos);
        QCOMPARE(c.selectionEnd(), docPos + 1);
        QVERIFY(!fMain->Modified());
        QCOMPARE(fMain->oText->toPlainText(), QString(text).replace("\r\n", "\n"));
        QCOMPARE(fRun->Prog->State, psFailed);
        if (asksInput) { // failed while executing: the menus stay as the run left them
            QVERIFY(!fRun->mClose->isEnabled());
            QVERIFY(fRun->mStop->isEnabled() && fRun->mBreak->isEnabled());
        }
    }

    void cancelledInputRunsNothing() {
        SetEditor("SET 5\r\nOUTPUT");
        TModalDriver driver;
        driver.Then("fInput", [](QWidget*) { fInput->oCancelButton->click(); });
        RunWith(driver);
        QCOMPARE(result_, TfRun::ResultAborted);
        QCOMPARE(fRun->Prog->State, psFailed);
        QCOMPARE(fRun->OutputText(), QString());
        QCOMPARE(fRun->ErrorPos, 0);
        QVERIFY(errors_.isEmpty());
    }

    void runToTheEnd() {
        SetEditor("SET 1\r\nOUTPUT\r\nSUB 1\r\nOUTPUT\r\nSUB 1\r\nOUTPUT");
        TModalDriver driver;
        QString caption;
        QStringList panels;
        QList<bool> menus;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun",
            [&](QWidget*) {
                caption = fRun->windowTitle();
                panels = {fRun->PanelText(0), fRun->PanelText(1)};
                menus = {fRun->mClose->isEnabled(), fRun->mBreak->isEnabled(),
                         fRun->mStop->isEnabled()};
                Press(fRun, Qt::Key_Escape);
            },
            RunOver);
        RunWith(driver);
        QCOMPARE(result_, TfRun::ResultClosed);
        QCOMPARE(fRun->OutputText(), QString("1 0 -1 "));
        QCOMPARE(caption, fMain->Caption() + " - [finished]");
        QCOMPARE(panels, (QStringList{"", ""}));
        QCOMPARE(menus, (QList<bool>{true, false, false}));
        QCOMPARE(fRun->ErrorPos, 0);
    }

    // Trace pauses before the first command, Next executes one, Continue runs on.
    void traceNextContinue() {
        SetEditor("SET 7\r\nOUTPUT\r\nSET 8\r\nOUTPUT");
        TModalDriver driver;
        QList<int> lines;
        QStringList registers, outputs;
        QString phase;
        const auto look = [&](QWidget*) {
            lines << PausedLine();
            registers << fBreak->PanelText(0);
            outputs << fRun->OutputText();
            phase = fRun->PanelText(1);
        };
        driver.Then("fInput", AcceptInput);
        driver.Then("fBreak", [&](QWidget* w) { look(w), Next(w); });
        driver.Then("fBreak", [&](QWidget* w) { look(w), Next(w); });
        driver.Then("fBreak", [&](QWidget* w) { look(w), Continue(w); });
        CloseWhenOver(driver);
        RunWith(driver, psBreak);
        QCOMPARE(lines, (QList<int>{1, 2, 3}));
        QCOMPARE(registers, (QStringList{"WR: 0", "WR: 7", "WR: 7"}));
        QCOMPARE(outputs, (QStringList{"", "", "7 "}));
        QCOMPARE(phase, QString("Running program ..."));
        QCOMPARE(fRun->OutputText(), QString("7 8 "));
    }

    // A "<BREAK>" line pauses every run; a mark set during a pause acts later
    // in the same run and is gone in the next one.
    void marksSetDuringAPauseLastOneRun() {
        SetEditor("SET 1\r\nOUTPUT // <break>\r\nSET 2\r\nOUTPUT");
        TModalDriver driver;
        QList<int> lines;
        QStringList outputs;
        driver.Then("fInput", AcceptInput);
        driver.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine();
            fBreak->SetStopLine(3, true);
            Continue(w);
        });
        driver.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine();
            outputs << fRun->OutputText();
            Continue(w);
        });
        CloseWhenOver(driver);
        RunWith(driver);
        QCOMPARE(lines, (QList<int>{2, 4}));
        QCOMPARE(outputs, QStringList{"1 "});
        QCOMPARE(fRun->OutputText(), QString("1 2 "));

        TModalDriver again;
        again.Then("fInput", AcceptInput);
        again.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine();
            Continue(w);
        });
        CloseWhenOver(again);
        RunWith(again);
        QCOMPARE(lines, (QList<int>{2, 4, 2}));
    }

    void runToCursor() {
        SetEditor("SET 1\r\nOUTPUT\r\nSET 2\r\nOUTPUT");
        CaretToLine(2);
        TModalDriver driver;
        QList<int> lines;
        QStringList outputs;
        driver.Then("fInput", AcceptInput);
        driver.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine();
            outputs << fRun->OutputText();
            Continue(w);
        });
        CloseWhenOver(driver);
        fMain->mRunToCursorClick();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(lines, QList<int>{3});
        QCOMPARE(outputs, QStringList{"1 "});
        QCOMPARE(fRun->OutputText(), QString("1 2 "));
        QCOMPARE(fRun->RunToLine, 0);
    }

    // A pause at a mark before the cursor line consumes the run-to target.
    void runToCursorAfterAMarkNeverReachesTheCursor() {
        SetEditor("SET 1 // <BREAK>\r\nOUTPUT\r\nSET 2\r\nOUTPUT");
        TModalDriver driver;
        QList<int> lines;
        driver.Then("fInput", AcceptInput);
        driver.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine() << fRun->RunToLine;
            Continue(w);
        });
        CloseWhenOver(driver);
        RunWith(driver, psRun, 3);
        QCOMPARE(lines, (QList<int>{1, 0}));
        QCOMPARE(fRun->OutputText(), QString("1 2 "));
    }

    // A pause by Break leaves the run-to target set: Continue still stops there.
    void runToCursorSurvivesBreak() {
        SetEditor("SET 30000000\r\n:l SUB 1\r\nIF ZERO GOTO out\r\nGOTO l\r\n:out OUTPUT");
        TModalDriver driver(60000);
        QList<int> lines;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun", [](QWidget*) { Press(fRun, Qt::Key_F6); }, Running);
        driver.Then("fBreak", [&](QWidget* w) {
            lines << fRun->RunToLine;
            Continue(w);
        });
        driver.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine() << fRun->RunToLine;
            Continue(w);
        });
        CloseWhenOver(driver);
        RunWith(driver, psRun, 5);
        QCOMPARE(lines, (QList<int>{5, 5, 0}));
        QCOMPARE(fRun->OutputText(), QString("0 "));
    }

    // An endless printing loop stops at the output's bound with the message;
    // the window stays open with what was printed.
    void endlessOutputStopsAtTheBound() {
        SetEditor(":l OUTPUT\r\nADD 1\r\nGOTO l");
        fRun->oText->SetCapacity(40);
        TModalDriver driver;
        QString caption;
        driver.Then("fInput", AcceptInput);
        CloseWhenOver(driver, &caption);
        RunWith(driver);
        fRun->oText->SetCapacity(TOutputView::DefaultCapacity);
        QCOMPARE(errors_, QStringList{"Cannot allocate memory ..."});
        QCOMPARE(caption, fMain->Caption() + " - [stop]");
        QCOMPARE(result_, TfRun::ResultClosed);
        QVERIFY(fRun->OutputText().startsWith("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 "));
        QCOMPARE(fRun->OutputText().size(), 41); // "... 15 16 ": the value that filled it is shown
    }

    // Continue from a Break pause on a marked line pauses again on the same
    // command without executing it; the next Continue executes it.
    void markedLineAfterBreakIsNotSkippedTwice() {
        SetEditor(kEndless);
        TModalDriver driver;
        QList<uint32_t> wr;
        QList<int> lines;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun", [](QWidget*) { Press(fRun, Qt::Key_F6); }, Running);
        driver.Then("fBreak", [&](QWidget* w) {
            wr << fRun->GetWorkRegister();
            lines << PausedLine();
            fBreak->SetStopLine(PausedLine() - 1, true);
            Continue(w);
        });
        driver.Then("fBreak", [&](QWidget* w) {
            wr << fRun->GetWorkRegister();
            lines << PausedLine();
            Continue(w);
        });
        driver.Then("fBreak", [&](QWidget*) {
            wr << fRun->GetWorkRegister();
            lines << PausedLine();
            fBreak->mStop->trigger();
        });
        QString caption;
        CloseWhenOver(driver, &caption);
        RunWith(driver);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[1], lines[0]);
        QCOMPARE(lines[2], lines[0]);
        QCOMPARE(wr[1], wr[0]);
        QCOMPARE(wr[2], wr[0] + 1);
        QCOMPARE(caption, fMain->Caption() + " - [stop]");
    }

    // While the program runs: the close box is refused with the message and
    // the run goes on; Esc does nothing; Stop ends it; then Esc closes.
    void endlessLoopStopsOnlyOnStop() {
        SetEditor(kEndless);
        TModalDriver driver;
        bool visibleAfterClose = false, visibleAfterEsc = false;
        QElapsedTimer clock;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun",
            [&](QWidget*) {
                fRun->close();
                visibleAfterClose = fRun->isVisible();
                Press(fRun, Qt::Key_Escape);
                visibleAfterEsc = fRun->isVisible();
                clock.start();
            },
            Running);
        driver.Then(
            "fRun", [](QWidget*) { Press(fRun, Qt::Key_F5); },
            [&] { return clock.elapsed() > 100; });
        QString caption;
        CloseWhenOver(driver, &caption);
        RunWith(driver);
        QVERIFY(visibleAfterClose);
        QVERIFY(visibleAfterEsc);
        QCOMPARE(errors_, QStringList{"Can not close this window, while the program is running."});
        QCOMPARE(caption, fMain->Caption() + " - [stop]");
        QCOMPARE(result_, TfRun::ResultClosed);
        QCOMPARE(fRun->Prog->State, psStop);
        QVERIFY(fRun->GetWorkRegister() > 1000); // the run went on after the refusals
    }

    // With the real error box: once the refusal is closed, Stop's key acts,
    // with no window manager to hand the activation back (offscreen, bare Xvfb).
    void stopActsAfterTheRefusalBox() {
        SetEditor(kEndless);
        TScopedErrorSink realBox([](std::string_view m) {
            TQtDialogs().Error(BoxParent(), "Corvane", QString::fromUtf8(m.data(), m.size()));
        });
        TModalDriver driver;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun", [](QWidget*) { fRun->close(); }, Running);
        driver.Then("", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        driver.Then(
            "fRun", [](QWidget*) { QTest::keyClick(fRun, Qt::Key_F5); }, Running);
        QString caption;
        CloseWhenOver(driver, &caption);
        RunWith(driver);
        QCOMPARE(caption, fMain->Caption() + " - [stop]");
    }

    void breakPausesAnEndlessLoopAndTheCloseBoxStops() {
        SetEditor(kEndless);
        TModalDriver driver;
        int line = 0;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun", [](QWidget*) { Press(fRun, Qt::Key_F6); }, Running);
        driver.Then("fBreak", [&](QWidget*) {
            line = PausedLine();
            fBreak->close();
        });
        QString caption;
        CloseWhenOver(driver, &caption);
        RunWith(driver);
        QVERIFY(line == 1 || line == 2);
        QCOMPARE(caption, fMain->Caption() + " - [stop]");
    }

    // A run that ends or is stopped leaves the editor's text, selection and
    // modified flag as they were; a Run To Cursor from a selection over
    // several lines runs to the line of its start.
    void finishedRunLeavesTheEditorAsItWas() {
        SetEditor("SET 3\r\nOUTPUT\r\nSET 4\r\nOUTPUT");
        QTextCursor c = fMain->oText->textCursor();
        c.setPosition(17);
        c.setPosition(9, QTextCursor::KeepAnchor); // from line 3 back into line 2
        fMain->oText->setTextCursor(c);
        fMain->oText->document()->setModified(true);
        TModalDriver driver;
        QList<int> lines;
        driver.Then("fInput", AcceptInput);
        driver.Then("fBreak", [&](QWidget* w) {
            lines << PausedLine();
            Continue(w);
        });
        CloseWhenOver(driver);
        fMain->mRunToCursorClick();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(lines, QList<int>{2});
        const QTextCursor after = fMain->oText->textCursor();
        QCOMPARE(after.anchor(), 17);
        QCOMPARE(after.position(), 9);
        QVERIFY(fMain->Modified());
        QCOMPARE(fRun->OutputText(), QString("3 4 "));
    }
};

QTEST_MAIN(RunWindowTest)
#include "run_window_test.moc"
