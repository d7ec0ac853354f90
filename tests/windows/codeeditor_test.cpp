// The program editor: its gutter, colours, live errors, margin breakpoints,
// the paused line, and the run window's count of executed commands.
#include "app/startup.h"
#include "core/text_codec.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/breakmarker.h"
#include "windows/codeeditor.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/livecheck.h"
#include "windows/run.h"
#include "windows/syntax.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>

using namespace corvane;

namespace {

TCodeEditor* Editor() {
    return fMain->oText;
}

void SetEditor(const QString& text) {
    Editor()->setPlainText(text);
    Editor()->document()->setModified(false);
}

void CaretToLine(int index) {
    Editor()->setTextCursor(QTextCursor(Editor()->document()->findBlockByNumber(index)));
}

void WaitForCheck() {
    Editor()->CheckNow();
    QTRY_VERIFY(!Editor()->CheckPending());
}

bool RunOver() {
    return !fRun->windowTitle().endsWith(" - [run]");
}

void CloseRun(QWidget*) {
    QApplication::setActiveWindow(fRun);
    QTest::keyClick(fRun, Qt::Key_Escape);
}

TToken T(int start, int length, TTokenKind kind) {
    return {start, length, kind};
}

// WCAG contrast of two colours.
double Contrast(const QColor& a, const QColor& b) {
    const auto lum = [](const QColor& c) {
        const auto ch = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
    };
    const double x = lum(a) + 0.05, y = lum(b) + 0.05;
    return std::max(x, y) / std::min(x, y);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<TToken>)

class CodeEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    std::unique_ptr<TErrorRecorder> sink_;

private Q_SLOTS:
    void initTestCase() {
        windows_ = std::make_unique<TWindows>();
        sink_ = std::make_unique<TErrorRecorder>();
        fInput->oText->clear();
        fMain->show();
    }
    void cleanupTestCase() {
        if (fMain) fMain->oText->document()->setModified(false);
        sink_.reset();
        windows_.reset();
    }
    void init() { sink_->Errors.clear(); }

    // --- the gutter ---

    void gutterNumbersEveryLineAndStaysPutSideways() {
        SetEditor("SET 1");
        const int narrow = Editor()->GutterWidth();
        QCOMPARE(Editor()->Gutter()->font(), Editor()->font());
        QCOMPARE(Editor()->viewport()->x(), Editor()->Gutter()->x() + narrow);
        // Five-digit line numbers need a wider gutter.
        SetEditor(QString("OUTPUT\n").repeated(12000) + QString(400, 'x'));
        QVERIFY(Editor()->GutterWidth() > narrow);
        QTRY_COMPARE(Editor()->viewport()->x(), Editor()->Gutter()->x() + Editor()->GutterWidth());
        QCOMPARE(Editor()->Gutter()->width(), Editor()->GutterWidth());
        const QPoint before = Editor()->Gutter()->pos();
        Editor()->horizontalScrollBar()->setValue(Editor()->horizontalScrollBar()->maximum());
        QVERIFY(Editor()->horizontalScrollBar()->value() > 0);
        QCOMPARE(Editor()->Gutter()->pos(), before);
    }

    // --- colours ---

    void scannerNamesEachClass_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<std::vector<TToken>>("tokens");
        using K = TTokenKind;
        QTest::newRow("keyword and number")
            << "set -5" << std::vector{T(0, 3, K::Keyword), T(4, 2, K::Number)};
        QTest::newRow("min max") << "ADD -MIN"
                                 << std::vector{T(0, 3, K::Keyword), T(4, 4, K::Number)};
        QTest::newRow("label definition")
            << ":loop INPUT done"
            << std::vector{T(0, 5, K::LabelDef), T(6, 5, K::Keyword), T(12, 4, K::LabelUse)};
        QTest::newRow("if") << "IF NOT EMPTY acc GOTO 12 ELSE out"
                            << std::vector{T(0, 2, K::Keyword),  T(3, 3, K::Keyword),
                                           T(7, 5, K::Keyword),  T(13, 3, K::Stack),
                                           T(17, 4, K::Keyword), T(22, 2, K::LabelUse),
                                           T(25, 4, K::Keyword), T(30, 3, K::LabelUse)};
        QTest::newRow("declared stack only")
            << "PUSH acc" << std::vector{T(0, 4, K::Keyword), T(5, 3, K::Stack)};
        QTest::newRow("undeclared") << "PUSH other" << std::vector{T(0, 4, K::Keyword)};
        QTest::newRow("stack line")
            << "STACK a b"
            << std::vector{T(0, 5, K::Keyword), T(6, 1, K::Stack), T(8, 1, K::Stack)};
        QTest::newRow("keyword as operand is none")
            << "SET set" << std::vector{T(0, 3, K::Keyword)};
        QTest::newRow("comment hides keywords")
            << "// SET 5 GOTO x" << std::vector{T(0, 15, K::Comment)};
        QTest::newRow("break in comment")
            << "OUTPUT //x <bReak>"
            << std::vector{T(0, 6, K::Keyword), T(7, 11, K::Comment), T(11, 7, K::Break)};
    }
    void scannerNamesEachClass() {
        QFETCH(QString, line);
        QFETCH(std::vector<TToken>, tokens);
        const QSet<QString> stacks{"ACC", "A", "B"};
        QCOMPARE(ScanLine(line, stacks), tokens);
    }

    void highlighterColoursTheDeclaredStacks() {
        SetEditor("// top\nSTACK acc\nPUSH acc\nPUSH other");
        QTRY_COMPARE(Editor()->Highlighter()->Stacks(), QSet<QString>{"ACC"});
        const auto formatAt = [](int line, int pos) {
            const QTextBlock b = Editor()->document()->findBlockByNumber(line);
            for (const QTextLayout::FormatRange& r : b.layout()->formats())
                if (pos >= r.start && pos < r.start + r.length)
                    return r.format.foreground().color();
            return QColor();
        };
        const QColor stack =
            Editor()->Highlighter()->Format(TTokenKind::Stack).foreground().color();
        QTRY_COMPARE(formatAt(2, 5), stack);
        QCOMPARE(formatAt(3, 5), QColor());
        // Renaming the stack recolours its uses on other lines.
        QTextCursor c(Editor()->document()->findBlockByNumber(1));
        c.movePosition(QTextCursor::EndOfBlock);
        c.insertText(" other");
        QTRY_COMPARE(formatAt(3, 5), stack);
    }

    // Colouring is a view: text, Mod flag, undo and the saved bytes stay.
    void highlightingNeverEdits() {
        const QString text = "STACK s\n:a PUSH s // <BREAK>\nIF ZERO GOTO a";
        SetEditor(text);
        const QString before = fMain->EditorText();
        QPalette dark;
        dark.setColor(QPalette::Base, Qt::black);
        dark.setColor(QPalette::Text, Qt::white);
        Editor()->setPalette(dark);
        Editor()->Highlighter()->rehighlight();
        Editor()->setPalette(QPalette());
        QCoreApplication::processEvents();
        QCOMPARE(fMain->EditorText(), before);
        QVERIFY(!fMain->Modified());
        QVERIFY(!Editor()->document()->isUndoAvailable());
        QCOMPARE(fMain->PanelText(0), QString());
    }

    void coloursFollowThePalette() {
        for (const bool dark : {false, true}) {
            QPalette palette;
            palette.setColor(QPalette::Base, dark ? QColor(30, 30, 30) : QColor(255, 255, 255));
            palette.setColor(QPalette::Text, dark ? QColor(230, 230, 230) : QColor(0, 0, 0));
            Editor()->setPalette(palette);
            for (TTokenKind k : {TTokenKind::Keyword, TTokenKind::LabelDef, TTokenKind::Number,
                                 TTokenKind::Stack, TTokenKind::Comment, TTokenKind::Break}) {
                const QColor c = Editor()->Highlighter()->Format(k).foreground().color();
                QVERIFY2(Contrast(c, palette.color(QPalette::Base)) >= 3.0,
                         qPrintable(QString("kind %1 dark %2").arg(int(k)).arg(dark)));
            }
        }
        Editor()->setPalette(QPalette());
        // The application's palette reaches the colours too.
        const QPalette original = QApplication::palette();
        QPalette dark = original;
        dark.setColor(QPalette::Base, QColor(20, 20, 20));
        dark.setColor(QPalette::Text, QColor(240, 240, 240));
        QApplication::setPalette(dark);
        QCoreApplication::processEvents(); // the change reaches widgets by events
        const QColor keyword =
            Editor()->Highlighter()->Format(TTokenKind::Keyword).foreground().color();
        QApplication::setPalette(original);
        QCoreApplication::processEvents();
        QVERIFY(Contrast(keyword, QColor(20, 20, 20)) >= 3.0);
        QVERIFY(keyword !=
                Editor()->Highlighter()->Format(TTokenKind::Keyword).foreground().color());
    }

    // --- live errors ---

    // The live check sees exactly the text a run parses.
    void checkTextIsTheRunsText() {
        SetEditor(QString("SET\u00a01\nOUTPUT\t// \u00e9\n\nEXIT"));
        QCOMPARE(QByteArray::fromStdString(MachineTextOfRaw(Editor()->document()->toRawText())),
                 QByteArray::fromStdString(ToMachineText(fMain->EditorText().toStdU16String())));
    }

    void underlineIsWhereTheRunFails_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("parse") << "SET 1\nOUTPUT\nSET 5x\nOUTPUT"
                               << "Valid integer number expected ...";
        QTest::newRow("link, later line") << ":a SET 1\nGOTO a\nOUTPUT\nGOTO nowhere"
                                          << "Label identificator not found ...";
        QTest::newRow("character") << "SET 1 +"
                                   << "Unrecognized character ...";
    }
    void underlineIsWhereTheRunFails() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        SetEditor(text);
        WaitForCheck();
        QCOMPARE(Editor()->LiveError().Message, message);
        QVERIFY(sink_->Errors.isEmpty()); // no box
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        const int underline = Editor()->UnderlineSpan().first;
        QVERIFY(Editor()->UnderlineSpan().second > underline);

        fMain->mRunClick(); // the run selects the failing character
        QCOMPARE(sink_->Errors, QStringList{message});
        QCOMPARE(fMain->LineFromChar(fRun->ErrorPos - 1) + 1, Editor()->LiveError().Line);
        QCOMPARE(fMain->oText->textCursor().selectionStart(), underline);
    }

    void errorShowsInPanelAndTooltipAndGoesWhenFixed() {
        SetEditor("SET 1\nPUSH 5\nOUTPUT");
        WaitForCheck();
        QCOMPARE(Editor()->LiveError().Line, 2);
        CaretToLine(0);
        QCOMPARE(fMain->PanelText(1), QString());
        CaretToLine(1);
        QCOMPARE(fMain->PanelText(1), QString("Illegal stack identificator ..."));
        QVERIFY(Editor()->ErrorToolTip(2).contains("Illegal stack identificator ..."));
        QVERIFY(Editor()->ErrorToolTip(1).isEmpty());
        // A menu hint still wins while a menu is open.
        fMain->ApplicationHint("Executes program");
        QCOMPARE(fMain->PanelText(1), QString("Executes program"));
        fMain->ApplicationHint(QString());
        QCOMPARE(fMain->PanelText(1), QString("Illegal stack identificator ..."));

        QTextCursor c = Editor()->textCursor();
        c.movePosition(QTextCursor::EndOfBlock);
        c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        c.insertText("PUSH");
        QVERIFY(Editor()->CheckPending());
        QTRY_VERIFY(!Editor()->CheckPending()); // after the pause in typing
        QVERIFY(!Editor()->LiveError().Valid());
        QCOMPARE(Editor()->UnderlineSpan(), (std::pair<int, int>{0, 0}));
        QCOMPARE(fMain->PanelText(1), QString());
        QVERIFY(sink_->Errors.isEmpty());
    }

    // A result that arrives after a newer edit is dropped.
    void staleResultIsDropped() {
        SetEditor("SET x");
        Editor()->CheckNow();
        Editor()->setPlainText("SET 1");
        WaitForCheck();
        QVERIFY(!Editor()->LiveError().Valid());
    }

    // --- margin breakpoints ---

    void toggleEdits_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("toggled");
        QTest::newRow("plain") << "SET 1"
                               << "SET 1 // <BREAK>";
        QTest::newRow("empty") << ""
                               << " // <BREAK>";
        QTest::newRow("comment") << "SET 1 // why"
                                 << "SET 1 // why <BREAK>";
        QTest::newRow("empty comment") << "SET 1 //"
                                       << "SET 1 //<BREAK>";
        QTest::newRow("own marker, any case") << "SET 1 // <break>"
                                              << "SET 1";
        QTest::newRow("marker in a comment") << "SET 1 // why <Break> not"
                                             << "SET 1 // why not";
        QTest::newRow("marker alone") << "<BREAK>"
                                      << "";
    }
    void toggleEdits() {
        QFETCH(QString, line);
        QFETCH(QString, toggled);
        QCOMPARE(Applied(line, ToggleBreakEdit(line)), toggled);
        QCOMPARE(HasBreakMarker(toggled), !HasBreakMarker(line));
        if (!HasBreakMarker(line)) QCOMPARE(Applied(toggled, ToggleBreakEdit(toggled)), line);
    }

    void ctrlBAndGutterToggleAsOneUndo() {
        const QString text = "SET 1\nOUTPUT // show\nEXIT // <BREAK>";
        SetEditor(text);
        // Active as far as Qt knows, whatever the window system says, so that
        // the window's shortcut takes the key.
        QApplication::setActiveWindow(fMain);
        CaretToLine(0);
        QTest::keyClick(Editor(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(fMain->RunSource().Lines.at(0), QString("SET 1 // <BREAK>"));
        QVERIFY(fMain->Modified());
        fMain->mUndoClick();
        QCOMPARE(Editor()->toPlainText(), text);

        // A click on the gutter beside line 2, and beside line 3.
        const auto yOf = [](int index) { return int(Editor()->LineRect(index).center().y()); };
        QTest::mouseClick(Editor()->Gutter(), Qt::LeftButton, {}, QPoint(5, yOf(1)));
        QTest::mouseClick(Editor()->Gutter(), Qt::LeftButton, {}, QPoint(5, yOf(2)));
        QCOMPARE(Editor()->toPlainText(), QString("SET 1\nOUTPUT // show <BREAK>\nEXIT"));
        fRun->Source = fMain->RunSource();
        fBreak->PrepareRun();
        QList<bool> marks;
        for (int i = 0; i < fBreak->oCheckListBox->model()->rowCount(); ++i)
            marks << fBreak->Marked(i);
        QCOMPARE(marks, (QList<bool>{false, true, false}));
        fMain->mUndoClick();
        fMain->mUndoClick();
        QCOMPARE(Editor()->toPlainText(), text);
    }

    // --- the paused line and the count of commands ---

    void pausedLineFollowsTheBreakWindow() {
        QString text;
        for (int i = 1; i <= 200; ++i)
            text += QString("SET %1\n").arg(i);
        SetEditor(text + "OUTPUT");
        Editor()->verticalScrollBar()->setValue(0);
        fRun->StartState = psRun;
        fRun->RunToLine = 150;
        TModalDriver driver;
        int paused = -1, stopLine = -2;
        bool visible = false;
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        driver.Then("fBreak", [&](QWidget*) {
            paused = Editor()->PausedLine();
            stopLine = fRun->StopLine;
            const QRectF r = Editor()->LineRect(paused - 1);
            visible = r.top() >= 0 && r.bottom() <= Editor()->viewport()->height();
            fBreak->mNext->trigger();
        });
        driver.Then("fBreak", [&](QWidget*) {
            stopLine = Editor()->PausedLine() == 151 ? stopLine : -3;
            fBreak->mContinue->trigger();
        });
        driver.Then("fRun", CloseRun, RunOver);
        fRun->Source = fMain->RunSource();
        fRun->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(paused, 150);
        QCOMPARE(stopLine, 150);
        QVERIFY(visible);
        QCOMPARE(Editor()->PausedLine(), 0);
    }

    void stepsPanelAfterTheRun() {
        SetEditor("SET 3\n:l SUB 1\nIF NOT ZERO GOTO l\nOUTPUT");
        fRun->StartState = psRun;
        fRun->RunToLine = 0;
        TModalDriver driver;
        QStringList panels;
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        driver.Then(
            "fRun",
            [&](QWidget* w) {
                panels << fRun->PanelText(0) << fRun->PanelText(1) << fRun->StepsText();
                CloseRun(w);
            },
            RunOver);
        fRun->Source = fMain->RunSource();
        fRun->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        // SET, three times SUB and IF, OUTPUT.
        QCOMPARE(panels, (QStringList{"", "", "Steps: 8"}));
    }
};

QTEST_MAIN(CodeEditorTest)
#include "codeeditor_test.moc"
