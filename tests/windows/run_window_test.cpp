// The road of a run as the user meets it, through the editor's Run, Trace and
// Run To Cursor and the real run, input and break windows: failures with the
// failing character selected, a cancelled input, a run to the end, pauses at
// marks, steps, Break, Stop, and the refusal to close while running.
#include "app/startup.h"
#include "core/appstrings.h"
#include "core/program.h"
#include "gui/captionfit.h"
#include "gui/infobox.h"
#include "gui/modals.h"
#include "support/fakedialogs.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/outputview.h"
#include "windows/run.h"

#include <QAction>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

#include <memory>
#include <new>

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
    std::unique_ptr<TErrorRecorder> sink_;
    QStringList errors_;
    QStringList panelsAtError_; // panel 0 and the output while each error box was up
    int result_ = -1;

    // Shows the run window as the editor's Run would, with the given steps.
    void RunWith(TModalDriver& driver, int32_t state = psRun, int32_t runToLine = 0) {
        fRun->StartState = state;
        fRun->RunToLine = runToLine;
        fRun->Source = fMain->RunSource();
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
        sink_ = std::make_unique<TErrorRecorder>();
        sink_->OnError = [this](const QString& m) {
            errors_ << m;
            panelsAtError_ << fRun->PanelText(0) << fRun->PanelText(1) << fRun->OutputText();
        };
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
        // Panel 0, the phase in panel 1 and the output under the box.
        QTest::addColumn<QStringList>("atError");
        QTest::newRow("parse, first line") << "SET #"
                                           << "Unrecognized character ..." << 4 << false
                                           << QStringList{"Line: 1", "Parsing program ...", ""};
        QTest::newRow("parse, third line") << "SET 1\r\nOUTPUT\r\nFOO 2"
                                           << "Unrecognized expression ..." << 13 << false
                                           << QStringList{"Line: 3", "Parsing program ...", ""};
        QTest::newRow("link, second line") << "SET 1\r\n  GOTO nowhere"
                                           << "Label identificator not found ..." << 8 << false
                                           << QStringList{"Line: 2", "Linking program ...", ""};
        QTest::newRow("run, third line") << "SET 1\r\nOUTPUT\r\nPOP"
                                         << "Stack is empty! Cannot read value ..." << 13 << true
                                         << QStringList{"Line: 3", "Running program ...", "1 "};
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

    // The editor's Trace pauses before the first command, and the run reads
    // the values the input dialog accepted, which it shows waiting for them.
    void traceFromTheEditorReadsTheAcceptedInput() {
        SetEditor("INPUT none\r\nOUTPUT\r\n:none");
        fInput->oText->setPlainText("7 8");
        QString phase;
        QList<uint32_t> wr;
        TModalDriver driver;
        driver.Then("fInput", [&](QWidget*) {
            phase = fRun->PanelText(1);
            AcceptInput(nullptr);
        });
        driver.Then("fBreak", [&](QWidget* w) {
            wr << fRun->GetWorkRegister() << static_cast<uint32_t>(PausedLine());
            Continue(w);
        });
        CloseWhenOver(driver);
        fMain->mTrace->trigger();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(phase, QString("Waiting for input ..."));
        QCOMPARE(wr, (QList<uint32_t>{0, 1}));
        QCOMPARE(fRun->OutputText(), QString("7 "));
        fInput->oText->clear();
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

    // A line without a command (a label alone, a comment, a blank line) pauses
    // before the first command after it; with none after it the run ends.
    void runToCursorOnALineWithoutACommand_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretLine"); // 0-based
        QTest::addColumn<int>("pausedLine");
        QTest::addColumn<QString>("outputThen");
        const QString loop = "SET 1\r\n:loop\r\nOUTPUT\r\nSUB 1\r\nIF NOT NEG GOTO loop";
        QTest::newRow("label alone") << loop << 1 << 3 << "";
        QTest::newRow("comment") << "SET 4\r\nOUTPUT\r\n  // note\r\nSET 5\r\nOUTPUT" << 2 << 4
                                 << "4 ";
        QTest::newRow("blank line") << "SET 4\r\nOUTPUT\r\n\r\nSET 5\r\nOUTPUT" << 2 << 4 << "4 ";
        QTest::newRow("nothing after") << "SET 4\r\nOUTPUT\r\n// end" << 2 << 0 << "";
    }
    void runToCursorOnALineWithoutACommand() {
        QFETCH(QString, text);
        QFETCH(int, caretLine);
        QFETCH(int, pausedLine);
        QFETCH(QString, outputThen);
        SetEditor(text);
        CaretToLine(caretLine);
        TModalDriver driver;
        QList<int> lines;
        QStringList outputs;
        driver.Then("fInput", AcceptInput);
        if (pausedLine != 0)
            driver.Then("fBreak", [&](QWidget* w) {
                lines << PausedLine();
                outputs << fRun->OutputText();
                Continue(w);
            });
        QString caption;
        CloseWhenOver(driver, &caption);
        fMain->mRunToCursorClick();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(lines, pausedLine ? QList<int>{pausedLine} : QList<int>{});
        if (pausedLine) QCOMPARE(outputs, QStringList{outputThen});
        QCOMPARE(caption, fMain->Caption() + " - [finished]");
        QCOMPARE(fRun->RunToLine, 0);
    }

    // The linker empties panel 0; a bad input character's box must not bring
    // "Line: N" back while the input dialog is open.
    void panelZeroStaysEmptyDuringInput() {
        SetEditor("SET 1\r\nINPUT none\r\nOUTPUT\r\n:none EXIT");
        TModalDriver driver;
        QString panelInDialog;
        driver.Then("fInput", [&](QWidget*) {
            panelInDialog = fRun->PanelText(0);
            fInput->oText->setPlainText("1 x");
            fInput->oOkButton->click();
        });
        driver.Then("fInput", [](QWidget*) {
            fInput->oText->setPlainText("7");
            fInput->oOkButton->click();
        });
        CloseWhenOver(driver);
        RunWith(driver);
        fInput->oText->clear();
        QCOMPARE(errors_, QStringList{"Unrecognized character ..."});
        QCOMPARE(panelInDialog, QString());
        QCOMPARE(panelsAtError_, (QStringList{"", "Waiting for input ...", ""}));
        QCOMPARE(fRun->OutputText(), QString("7 "));
    }

    // An exception inside the run (thrown here from the timer's slot through
    // the error box) is shown in the top-level box; the run window closes as
    // after a cancelled input and the next run works.
    void exceptionInTheRunIsShownAndTheProgramGoesOn() {
        // The parse error's box throws, as a box that cannot get its memory
        // would; the box that reports the exception records.
        struct TRecorder : TFakeDialogs {
            bool Throw = true;
            void Error(QWidget* parent, const QString& title, const QString& text) override {
                if (std::exchange(Throw, false)) throw std::bad_alloc();
                TFakeDialogs::Error(parent, title, text);
            }
        } recorder;
        SetEditor("SET #");
        {
            TModalDriver driver;
            RunWith(driver);
        }
        QCOMPARE(recorder.errors, QStringList{"Cannot allocate memory ..."});
        QCOMPARE(result_, TfRun::ResultAborted);
        QVERIFY(!fRun->isVisible());
        QCOMPARE(fRun->Prog->State, psFailed);
        QCOMPARE(fRun->ErrorPos, 0);

        SetEditor("SET 2\r\nOUTPUT");
        TModalDriver again;
        again.Then("fInput", AcceptInput);
        CloseWhenOver(again);
        RunWith(again);
        QCOMPARE(fRun->OutputText(), QString("2 "));
    }

    // The run window and the stack box are wide enough for their captions.
    void captionsShowWhole() {
        SetEditor("SET 2");
        TModalDriver driver;
        int width = 0;
        QString caption;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun",
            [&](QWidget*) {
                width = fRun->width();
                caption = fRun->windowTitle();
                Press(fRun, Qt::Key_Escape);
            },
            RunOver);
        RunWith(driver);
        QVERIFY(width >= CaptionWidth(*fRun, fMain->Caption() + " - [run]"));
        QVERIFY(width >= CaptionWidth(*fRun, caption));
        QVERIFY(CaptionWidth(*fRun, caption) > 274); // wider than designed: it grew

        const QString title = "Untitled - Corvane 1.4.beta - [break]";
        const auto box = MakeInfoBox(nullptr, title, "1");
        QVERIFY(box->sizeHint().width() >= CaptionWidth(*box, title));
    }

    // An endless printing loop stops at the output's bound with its own
    // message, and the caption says so rather than " - [stop]"; the window
    // stays open with what was printed, ready to be closed.
    void endlessOutputStopsAtTheBound() {
        SetEditor(":l OUTPUT\r\nADD 1\r\nGOTO l");
        fRun->oText->SetCapacity(40);
        TModalDriver driver;
        QString caption;
        QList<bool> menus;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun",
            [&](QWidget*) {
                caption = fRun->windowTitle();
                menus = {fRun->mClose->isEnabled(), fRun->mBreak->isEnabled(),
                         fRun->mStop->isEnabled()};
                Press(fRun, Qt::Key_Escape);
            },
            RunOver);
        RunWith(driver);
        fRun->oText->SetCapacity(TOutputView::DefaultCapacity);
        QCOMPARE(errors_,
                 QStringList{"Output limit reached: the run was stopped after 17 values ..."});
        QCOMPARE(caption, fMain->Caption() + " - [output limit]");
        QCOMPARE(menus, (QList<bool>{true, false, false}));
        QCOMPARE(fRun->Prog->State, psStop);
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
        uint32_t refusedAt = 0;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun",
            [&](QWidget*) {
                fRun->close();
                visibleAfterClose = fRun->isVisible();
                Press(fRun, Qt::Key_Escape);
                visibleAfterEsc = fRun->isVisible();
                refusedAt = fRun->GetWorkRegister();
            },
            Running);
        // Stop once the run has visibly gone on after the refusals.
        driver.Then(
            "fRun", [](QWidget*) { Press(fRun, Qt::Key_F5); },
            [&] { return fRun->GetWorkRegister() > refusedAt + 1000; });
        QString caption;
        CloseWhenOver(driver, &caption);
        RunWith(driver);
        QVERIFY(visibleAfterClose);
        QVERIFY(visibleAfterEsc);
        QCOMPARE(errors_, QStringList{"Can not close this window, while the program is running."});
        QCOMPARE(caption, fMain->Caption() + " - [stop]");
        QCOMPARE(result_, TfRun::ResultClosed);
        QCOMPARE(fRun->Prog->State, psStop);
        QVERIFY(fRun->GetWorkRegister() > refusedAt + 1000);
    }

    // With the real error box: once the refusal is closed, Stop's key acts,
    // with no window manager to hand the activation back (offscreen, bare Xvfb).
    void stopActsAfterTheRefusalBox() {
        SKIP_UNLESS_ACTIVATION_IS_OURS();
        SetEditor(kEndless);
        TRealDialogs realBox;
        TModalDriver driver;
        driver.Then("fInput", AcceptInput);
        driver.Then(
            "fRun", [](QWidget*) { fRun->close(); }, Running);
        driver.Then("", PressOnlyButton);
        driver.Then(
            "fRun", [](QWidget*) { QTest::keyClick(fRun, Qt::Key_F5); },
            [active = HasActivation(fRun)] { return Running() && active(); });
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
