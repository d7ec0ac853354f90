// What a screen reader and a keyboard-only user meet: accessible names and
// texts of the controls, the output read through its text interface, the
// focus on the paused line, Ctrl+Tab out of the editor, and the first-use
// placeholders that are never part of a text.
#include "app/startup.h"
#include "support/fakedialogs.h"
#include "support/modaldriver.h"
#include "windows/about.h"
#include "windows/break.h"
#include "windows/check.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/guide.h"
#include "windows/input.h"
#include "windows/machinepane.h"
#include "windows/outputview.h"
#include "windows/run.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QAccessibleInterface* Access(QObject* object) {
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(object);
    if (!access) qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    return access;
}

QString Name(QObject* object) {
    return Access(object)->text(QAccessible::Name);
}

QString Description(QObject* object) {
    return Access(object)->text(QAccessible::Description);
}

// The text a screen reader reads, through the text interface.
QString Read(QObject* object) {
    QAccessibleTextInterface* text = Access(object)->textInterface();
    if (!text) return QStringLiteral("<no text interface>");
    return text->text(0, text->characterCount());
}

// Every panel of a status bar: its accessible name and the text it reads.
QStringList Panels(QStatusBar* bar) {
    QStringList panels;
    for (QLabel* label : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        panels << Name(label) + " = " + Read(label);
    return panels;
}

// textAtOffset and its neighbours as "text [start, end)".
using TQuery = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*,
                                                     int*) const;
QString Unit(QAccessibleTextInterface* text, TQuery query, int offset,
             QAccessible::TextBoundaryType boundary) {
    int start = -1, end = -1;
    const QString found = (text->*query)(offset, boundary, &start, &end);
    return QStringLiteral("%1 [%2, %3)").arg(found).arg(start).arg(end);
}

const QString kEditorPlaceholder = QStringLiteral(
    "Type a program here, or open one of the examples. Help > Language Guide (Shift+F1) "
    "explains the language.");
const QString kInputPlaceholder =
    QStringLiteral("Input values: whole numbers separated by blanks, e.g. 3 -5 12");

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;

    static void Fill(TOutputView& view, std::initializer_list<int32_t> values) {
        view.Clear();
        for (const int32_t v : values)
            view.Append(static_cast<uint32_t>(v));
        view.Flush();
    }

private Q_SLOTS:
    void initTestCase() { windows_ = std::make_unique<TWindows>(); }
    void cleanupTestCase() { windows_.reset(); }

    void controlsCarryNames() {
        QCOMPARE(Name(fMain->oText), QString("Program"));
        QCOMPARE(Name(fRun->oText), QString("Output"));
        QCOMPARE(Name(fBreak->oCheckListBox),
                 QString("Program lines, checked lines are breakpoints"));
        QCOMPARE(Name(fInput->oText), QString("Input values"));
        QCOMPARE(Name(fInput->oOldInputs), QString("Earlier inputs"));
        QCOMPARE(Name(fInput->oOkButton), QString("OK"));
        QCOMPARE(Name(fBreak->oMachine->oStacks), QString("Stacks"));
        QVERIFY(!Name(fBreak->oMachine->oInput).isEmpty());
    }

    // A screen reader announces a window by its role and its title: every
    // window reads as a window or a dialog, never as a bare part of one.
    void windowsReadAsWindowsByTheirTitles() {
        TfCheck check;
        const QList<QWidget*> windows{fMain, fRun, fInput, fBreak, fAbout, fMain->Guide(), &check};
        for (QWidget* window : windows) {
            const QAccessible::Role role = Access(window)->role();
            QVERIFY2(role == QAccessible::Window || role == QAccessible::Dialog,
                     qPrintable(window->objectName() + QStringLiteral(": role %1").arg(role)));
            QCOMPARE(Name(window), window->windowTitle());
        }
    }

    // Whatever the keyboard reaches in any window has a name to be read by.
    void everyFocusableControlHasAName() {
        TfCheck check;
        QStringList unnamed;
        const QList<QWidget*> windows{fMain, fRun, fInput, fBreak, fAbout, fMain->Guide(), &check};
        for (QWidget* window : windows) {
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                // A drop-down's list is a window of its own, named by its box.
                if (!(widget->focusPolicy() & Qt::TabFocus) || widget->window() != window) continue;
                if (Name(widget).trimmed().isEmpty())
                    unnamed << window->objectName() + "/" + widget->metaObject()->className() +
                                   "/" + widget->objectName();
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // A panel's name says what it shows; its text is what it shows now.
    void panelsReadAsNamedTexts() {
        fMain->mNewClick();
        fMain->oText->insertPlainText("SET 1");
        QCOMPARE(Panels(fMain->oStatusBar), (QStringList{"Modified = Mod", "Hint = "}));
        fMain->oText->document()->setModified(false);
        QCOMPARE(Read(fMain->findChild<QLabel*>("oStatusPanel0")), QString());

        fRun->Prog->WR = static_cast<uint32_t>(-42);
        fBreak->FormActivate();
        const QStringList breakPanels = Panels(fBreak->oStatusBar);
        QCOMPARE(breakPanels.mid(0, 2),
                 (QStringList{"Working register = WR: -42", "Next input = In: EMPTY"}));
        QVERIFY(breakPanels.value(2).startsWith("Stacks = "));
        QCOMPARE(Access(fBreak->findChildren<QLabel*>().first())->role(), QAccessible::StaticText);
        fRun->Prog->WR = 0;

        QStringList runNames;
        for (QLabel* label : fRun->oStatusBar->findChildren<QLabel*>())
            runNames << Name(label);
        QCOMPARE(runNames, (QStringList{"Line", "Phase", "Steps"}));
    }

    // Words are values with their blank; before and after step over them.
    void outputReadsThroughItsTextInterface() {
        TOutputView& view = *fRun->oText;
        view.resize(400, 200);
        Fill(view, {12, -5, 300});
        QAccessibleInterface* access = Access(&view);
        QCOMPARE(access->role(), QAccessible::EditableText);
        QVERIFY(access->state().readOnly);
        QAccessibleTextInterface* text = access->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 10);
        QCOMPARE(text->text(0, -1), QString("12 -5 300 "));
        QCOMPARE(text->text(3, 5), QString("-5"));
        QCOMPARE(text->text(8, 99), QString("0 "));
        QCOMPARE(text->text(5, 3), QString());

        const auto at = &QAccessibleTextInterface::textAtOffset;
        const auto before = &QAccessibleTextInterface::textBeforeOffset;
        const auto after = &QAccessibleTextInterface::textAfterOffset;
        QCOMPARE(Unit(text, at, 4, QAccessible::WordBoundary), QString("-5  [3, 6)"));
        QCOMPARE(Unit(text, at, 5, QAccessible::WordBoundary), QString("-5  [3, 6)"));
        QCOMPARE(Unit(text, at, 0, QAccessible::WordBoundary), QString("12  [0, 3)"));
        QCOMPARE(Unit(text, before, 4, QAccessible::WordBoundary), QString("12  [0, 3)"));
        QCOMPARE(Unit(text, before, 1, QAccessible::WordBoundary), QString(" [0, 0)"));
        QCOMPARE(Unit(text, after, 4, QAccessible::WordBoundary), QString("300  [6, 10)"));
        QCOMPARE(Unit(text, after, 7, QAccessible::WordBoundary), QString(" [10, 10)"));
        QCOMPARE(Unit(text, at, 10, QAccessible::WordBoundary), QString("300  [6, 10)"));
        QCOMPARE(Unit(text, at, 4, QAccessible::CharBoundary), QString("5 [4, 5)"));
        QCOMPARE(Unit(text, at, 10, QAccessible::CharBoundary), QString(" [10, 10)"));
        QCOMPARE(Unit(text, before, 4, QAccessible::CharBoundary), QString("- [3, 4)"));
        QCOMPARE(Unit(text, at, 4, QAccessible::LineBoundary), QString("12 -5 300  [0, 10)"));
        QCOMPARE(Unit(text, at, 4, QAccessible::ParagraphBoundary), QString("12 -5 300  [0, 10)"));

        // Selection and caret go both ways.
        text->setSelection(0, 3, 5);
        QCOMPARE(view.SelectedText(), QString("-5"));
        int start = 0, end = 0;
        text->selection(0, &start, &end);
        QCOMPARE((QList<int>{text->selectionCount(), start, end, text->cursorPosition()}),
                 (QList<int>{1, 3, 5, 5}));
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
        text->setCursorPosition(99);
        QCOMPARE(text->cursorPosition(), 10);

        Fill(view, {});
        QCOMPARE(text->characterCount(), 0);
        QCOMPARE(text->characterRect(0), QRect());
        // A view never laid out answers as an empty one.
        TOutputView fresh;
        QAccessibleTextInterface* unshown = Access(&fresh)->textInterface();
        QCOMPARE(unshown->characterRect(0), QRect());
        unshown->scrollToSubstring(0, 1);
        QCOMPARE(unshown->text(0, -1), QString());
        QCOMPARE(Unit(text, at, 0, QAccessible::WordBoundary), QString(" [0, 0)"));
        QCOMPARE(Unit(text, after, 0, QAccessible::LineBoundary), QString(" [0, 0)"));
    }

    // Far from the screen, a line is wrapped where it lies: a query measures
    // a few lines, never the output, and scrolling there shows the same line.
    void outputLinesFarFromTheScreenCostAFewLines() {
        TOutputView& view = *fRun->oText;
        view.resize(300, 200);
        view.Clear();
        for (int i = 0; i < 1'000'000; ++i)
            view.Append(static_cast<uint32_t>(i) * 7919u);
        view.Flush();
        QAccessibleTextInterface* text = Access(&view)->textInterface();
        const int middle = text->characterCount() / 2;
        view.ResetMeasuredCharacters();
        int start = 0, end = 0;
        const QString line = text->textAtOffset(middle, QAccessible::LineBoundary, &start, &end);
        QVERIFY(view.MeasuredCharacters() < 2000);
        QVERIFY(start <= middle && middle < end);
        QVERIFY(line.endsWith(' ') && text->text(start - 1, start) == " ");
        const int lineEnd = end;
        text->textAfterOffset(middle, QAccessible::LineBoundary, &start, &end);
        QCOMPARE(start, lineEnd);
        text->textAtOffset(middle, QAccessible::LineBoundary, &start, &end);
        view.ResetMeasuredCharacters();
        const QString word = text->textAtOffset(middle, QAccessible::WordBoundary, &start, &end);
        QVERIFY(view.MeasuredCharacters() == 0 && word.size() <= 12);

        const int lineStart = start;
        text->scrollToSubstring(middle, middle + 1);
        QCOMPARE(text->textAtOffset(middle, QAccessible::LineBoundary, &start, &end), line);
        QCOMPARE(start, lineStart);
        QCOMPARE(view.VisibleLines().value(0), line);
        QVERIFY(!text->characterRect(middle).isEmpty());
        QCOMPARE(text->offsetAtPoint(text->characterRect(middle).center()), middle);
        view.Clear();
    }

    // A pause gives the focus to the line about to run, also when the user
    // left it elsewhere at the pause before; the screen reader finds that line
    // as the list's focused item. The panels and the output read what the
    // paused machine holds.
    void pauseFocusesTheLineAboutToRun() {
        fMain->oText->setPlainText("INPUT stop\nOUTPUT\nOUTPUT  // <BREAK>\nSET 5\n:stop");
        fInput->oText->setPlainText("7 8");
        TModalDriver driver(15000);
        QList<QWidget*> focused;
        QStringList focusedItems;
        QString output, wr, in;
        const auto look = [&] {
            focused << fBreak->focusWidget();
            QAccessibleInterface* item = Access(fBreak->oCheckListBox)->focusChild();
            focusedItems << (item ? item->text(QAccessible::Name) : QString("<none>"));
        };
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        driver.Then("fBreak", [&](QWidget*) {
            look();
            output = Read(fRun->oText);
            const QList<QLabel*> panels = fBreak->oStatusBar->findChildren<QLabel*>();
            wr = Read(panels.value(0));
            in = Read(panels.value(1));
            fBreak->mMachine->trigger();
            fBreak->oMachine->oStacks->setFocus();
            fBreak->mNext->trigger();
        });
        driver.Then("fBreak", [&](QWidget*) {
            look();
            fBreak->mMachine->trigger();
            fBreak->mContinue->trigger();
        });
        driver.Then(
            "fRun", [](QWidget*) { fRun->mClose->trigger(); },
            [] { return fRun->mClose->isEnabled(); });
        fRun->StartState = corvane::psRun;
        fRun->RunToLine = 0;
        fRun->Source = fMain->RunSource();
        fRun->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(focused, (QList<QWidget*>{fBreak->oCheckListBox, fBreak->oCheckListBox}));
        QCOMPARE(focusedItems, (QStringList{"OUTPUT  // <BREAK>", "SET 5"}));
        QCOMPARE((QStringList{output, wr, in}), (QStringList{"7 ", "WR: 7", "In: 8"}));
        QCOMPARE(fRun->OutputText(), QString("7 7 "));
        QVERIFY(!fBreak->MachineOpen());
    }

    // Tab types a tab; Ctrl+Tab and Ctrl+Shift+Tab leave the editor for the
    // status panels, and Tab brings the focus back.
    void ctrlTabLeavesTheEditor() {
        fMain->mNewClick();
        fMain->show();
        QVERIFY(QTest::qWaitForWindowExposed(fMain));
        QApplication::setActiveWindow(fMain);
        fMain->oText->setFocus();
        QTest::keyClick(fMain->oText, Qt::Key_Tab);
        QCOMPARE(fMain->oText->toPlainText(), QString("\t"));
        QCOMPARE(fMain->focusWidget(), fMain->oText);

        auto* modified = fMain->findChild<QLabel*>("oStatusPanel0");
        auto* hint = fMain->findChild<QLabel*>("oStatusPanel1");
        QTest::keyClick(fMain->oText, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(fMain->focusWidget(), modified);
        QTest::keyClick(modified, Qt::Key_Tab);
        QCOMPARE(fMain->focusWidget(), hint);
        QTest::keyClick(hint, Qt::Key_Tab);
        QCOMPARE(fMain->focusWidget(), fMain->oText);
        QTest::keyClick(fMain->oText, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fMain->focusWidget(), hint);
        QCOMPARE(fMain->oText->toPlainText(), QString("\t"));
        fMain->oText->document()->setModified(false);
        fMain->hide();
    }

    // The placeholders are hints only: no text, no change, an empty file.
    void placeholdersAreNoPartOfTheText() {
        fMain->mNewClick();
        QCOMPARE(fMain->oText->placeholderText(), kEditorPlaceholder);
        QCOMPARE(Description(fMain->oText), kEditorPlaceholder);
        QCOMPARE(Read(fMain->oText), QString());
        QCOMPARE(fMain->EditorText(), QString());
        QVERIFY(!fMain->Modified());
        QCOMPARE(fMain->PanelText(0), QString());

        QTemporaryDir dir;
        TFakeDialogs dialogs;
        dialogs.savePaths.push_back(dir.filePath("empty.cv"));
        QVERIFY(fMain->SaveFile(true));
        QFile saved(dir.filePath("empty.cv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.size(), 0);

        fInput->oText->clear();
        QCOMPARE(fInput->oText->placeholderText(), kInputPlaceholder);
        QCOMPARE(Description(fInput->oText), kInputPlaceholder);
        QCOMPARE(fInput->InputText(), QString());
    }

    // The editor's own painting still shows the placeholder, and drops it
    // with the first character.
    void editorPaintsItsPlaceholder() {
        fMain->mNewClick();
        fMain->resize(600, 300);
        const QImage hinted = fMain->oText->viewport()->grab().toImage();
        fMain->oText->setPlaceholderText({});
        const QImage blank = fMain->oText->viewport()->grab().toImage();
        fMain->oText->setPlaceholderText(kEditorPlaceholder);
        QVERIFY(hinted != blank);
        fMain->oText->insertPlainText(" ");
        QVERIFY(fMain->oText->viewport()->grab().toImage() != hinted);
        fMain->oText->document()->setModified(false);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
