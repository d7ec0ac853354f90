// The main window as a user meets it: start-up state, menus and hints, the
// "Mod" marker, the editor's keys and the Edit commands, and what the run
// windows read of the editor.
#include "app/startup.h"
#include "core/appstrings.h"
#include "gui/application.h"
#include "support/fakedialogs.h"
#include "windows/about.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QtTest>

#include <memory>

class TMainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startsUntitledEmptyAndAlone();
    void windowsAreCreatedInOrderAndReleased();
    void menusCarryTheirCaptionsShortcutsAndHints();
    void highlightedItemShowsItsLongHint();
    void typingShowsModAndUndoEditsToo();
    void escapeExitsThroughTheSaveQuestion();
    void deselectPutsTheCaretAtTheStart();
    void selectAllSelectsTheWholeText();
    void tabInsertsATabThatStopsEverySixteenColumns();
    void longLinesDoNotWrap();
    void shiftEnterStartsARealLine();
    void runWindowsReadTheTextWithCrlfBreaks();
    void setSelectionSelectsWithoutEditing();
    void printIsDisabledAndCtrlPDoesNothing();
    void disabledPrintStillShowsItsHint();
    void selectionNeverSplitsACharacter();
    void qtSeesNoCommandLineOptions();

private:
    void ShowActive();
    void Type(const QString& text);

    std::unique_ptr<TWindows> windows_;
};

void TMainWindowTest::init() {
    SetAppTitle(QStringLiteral("Corvane"));
    windows_ = std::make_unique<TWindows>();
}

void TMainWindowTest::cleanup() {
    if (fMain) fMain->oText->document()->setModified(false);
    windows_.reset();
}

void TMainWindowTest::ShowActive() {
    fMain->show();
    fMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fMain));
    fMain->oText->setFocus();
}

void TMainWindowTest::Type(const QString& text) {
    QTest::keyClicks(fMain->oText, text);
}

void TMainWindowTest::startsUntitledEmptyAndAlone() {
    ShowActive();
    QCOMPARE(fMain->Caption(), QStringLiteral("Untitled - Corvane 1.4.beta"));
    QCOMPARE(fMain->windowTitle(), fMain->Caption());
    QCOMPARE(AppTitle(), fMain->Caption());
    QCOMPARE(fMain->File.Name, QStringLiteral("Untitled"));
    QVERIFY(fMain->File.Dir.isEmpty());
    QVERIFY(fMain->EditorText().isEmpty());
    QVERIFY(!fMain->Modified());
    QVERIFY(fMain->PanelText(0).isEmpty());
    QVERIFY(fMain->PanelText(1).isEmpty());
    for (QWidget* other : {static_cast<QWidget*>(fRun), static_cast<QWidget*>(fInput),
                           static_cast<QWidget*>(fBreak), static_cast<QWidget*>(fAbout)})
        QVERIFY(!other->isVisible());
    // Panel 0 is the fixed 50-pixel "Mod" panel, centred.
    auto* panel0 = fMain->findChild<QLabel*>(QStringLiteral("oStatusPanel0"));
    QVERIFY(panel0);
    QCOMPARE(panel0->width(), 50);
    QVERIFY(panel0->alignment() & Qt::AlignHCenter);
    QCOMPARE(fMain->oStatusBar->height(), 19);
    // The editor: first to get the focus, fixed-pitch font at 9 points (12
    // pixels at 96 dpi), which follows the screen's scale as pixels would not.
    QCOMPARE(QApplication::focusWidget(), fMain->oText);
    QCOMPARE(fMain->oText->font().pointSizeF(), 9.0);
    QVERIFY(QFontInfo(fMain->oText->font()).fixedPitch());
}

void TMainWindowTest::windowsAreCreatedInOrderAndReleased() {
    QVERIFY(fMain && fRun && fInput && fBreak && fAbout);
    // The helper windows belong to the main window, created after it.
    const QObjectList children = fMain->children();
    const auto at = [&](QObject* o) { return children.indexOf(o); };
    QVERIFY(at(fRun) >= 0);
    QVERIFY(at(fRun) < at(fInput));
    QVERIFY(at(fInput) < at(fBreak));
    QVERIFY(at(fBreak) < at(fAbout));
    windows_.reset();
    QVERIFY(!fMain && !fRun && !fInput && !fBreak && !fAbout);
}

void TMainWindowTest::menusCarryTheirCaptionsShortcutsAndHints() {
    struct TItem {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        const char* tip; // long part of the hint
    };
    const TItem items[] = {
        {"mNew", "&New", QKeySequence(QStringLiteral("Ctrl+N")), "Creates a new document"},
        {"mOpen", "&Open", QKeySequence(QStringLiteral("Ctrl+O")), "Opens an existing document"},
        {"mSave", "&Save", QKeySequence(QStringLiteral("Ctrl+S")), "Saves current document"},
        {"mSaveAs", "Save &As ...", QKeySequence(), "Saves current document using a new name"},
        {"mPrint", "&Print", QKeySequence(QStringLiteral("Ctrl+P")), "Prints current document"},
        {"mExit", "E&xit", QKeySequence(QStringLiteral("Esc")), "Exits application"},
        {"mUndo", "&Undo", QKeySequence(QStringLiteral("Ctrl+Z")), "Undoes your last action"},
        {"mCut", "Cu&t", QKeySequence(QStringLiteral("Ctrl+X")),
         "Cuts the selection and puts it on the Clipboard"},
        {"mCopy", "&Copy", QKeySequence(QStringLiteral("Ctrl+C")),
         "Copies the selection and puts it on the Clipboard"},
        {"mPaste", "&Paste", QKeySequence(QStringLiteral("Ctrl+V")),
         "Inserts the contents of the Clipboard"},
        {"mSelectAll", "&Select All", QKeySequence(QStringLiteral("Ctrl+A")),
         "Selects the entire document"},
        {"mDeselect", "&DeSelect", QKeySequence(QStringLiteral("Ctrl+D")),
         "Cancels current selection"},
        {"mZoomIn", "Zoom &In", QKeySequence(QStringLiteral("Ctrl+=")),
         "Makes the program text larger in every window"},
        {"mZoomOut", "Zoom &Out", QKeySequence(QStringLiteral("Ctrl+-")),
         "Makes the program text smaller in every window"},
        {"mZoomReset", "&Reset Zoom", QKeySequence(QStringLiteral("Ctrl+0")),
         "Shows the program text at its normal size"},
        {"mDark", "&Dark", QKeySequence(), "Switches between a dark and a light palette"},
        {"mRun", "&Run", QKeySequence(QStringLiteral("F9")), "Executes program"},
        {"mTrace", "&Trace", QKeySequence(QStringLiteral("F8")), ""},
        {"mRunToCursor", "&Run To Cursor", QKeySequence(QStringLiteral("F4")), ""},
        {"mCheck", "&Check", QKeySequence(QStringLiteral("Ctrl+F9")),
         "Runs the test cases of this program"},
        {"mToggleBreakpoint", "Toggle &Breakpoint", QKeySequence(QStringLiteral("Ctrl+B")),
         "Marks or unmarks the line as a breakpoint"},
        {"mAbout", "&About Corvane ...", QKeySequence(QStringLiteral("F1")),
         "Shows copyright and version information of this application"},
    };
    for (const TItem& item : items) {
        auto* action = fMain->findChild<QAction*>(QLatin1String(item.name));
        QVERIFY2(action, item.name);
        QCOMPARE(action->text(), QString::fromUtf8(item.caption));
        QCOMPARE(action->shortcut(), item.shortcut);
        QCOMPARE(action->statusTip(), QString::fromUtf8(item.tip));
    }

    // The menus and their items, in order (separators as empty captions).
    const auto captions = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions())
            list << a->text();
        return list;
    };
    QStringList menus;
    for (QAction* a : fMain->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, QStringList({"&File", "&Edit", "&View", "&Run", "&Help"}));
    QCOMPARE(captions(fMain->mFileMenu),
             QStringList({"&New", "&Open", "&Save", "Save &As ...", "", "&Print", "", "E&xit"}));
    QCOMPARE(captions(fMain->mEditMenu),
             QStringList({"&Undo", "", "Cu&t", "&Copy", "&Paste", "", "&Select All", "&DeSelect"}));
    QCOMPARE(captions(fMain->mViewMenu),
             QStringList({"Zoom &In", "Zoom &Out", "&Reset Zoom", "", "&Dark"}));
    QCOMPARE(captions(fMain->mRunMenu),
             QStringList({"&Run", "&Trace", "&Run To Cursor", "&Check", "Toggle &Breakpoint"}));
    QCOMPARE(fMain->mHelpMenu->defaultAction(), fMain->mAbout);
}

void TMainWindowTest::highlightedItemShowsItsLongHint() {
    ShowActive();
    // Menus opened from the menu bar send their hints to the main window.
    fMain->menuBar()->setActiveAction(fMain->mFileMenu->menuAction());
    QVERIFY(QTest::qWaitForWindowExposed(fMain->mFileMenu));
    fMain->mFileMenu->setActiveAction(fMain->mSaveAs);
    QCOMPARE(fMain->PanelText(1), QStringLiteral("Saves current document using a new name"));
    fMain->mFileMenu->close();
    QTRY_VERIFY(fMain->PanelText(1).isEmpty());

    fMain->menuBar()->setActiveAction(fMain->mRunMenu->menuAction());
    QVERIFY(QTest::qWaitForWindowExposed(fMain->mRunMenu));
    fMain->mRunMenu->setActiveAction(fMain->mRun);
    QCOMPARE(fMain->PanelText(1), QStringLiteral("Executes program"));
    fMain->mRunMenu->setActiveAction(fMain->mTrace);
    QVERIFY(fMain->PanelText(1).isEmpty());
    fMain->mRunMenu->close();
}

void TMainWindowTest::typingShowsModAndUndoEditsToo() {
    ShowActive();
    Type(QStringLiteral("a"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
    QVERIFY(fMain->Modified());
    QCOMPARE(fMain->EditorText(), QStringLiteral("a"));
    // The Edit menu's commands act on the editor.
    fMain->mSelectAll->trigger();
    fMain->mCut->trigger();
    QVERIFY(fMain->EditorText().isEmpty());
    fMain->mPaste->trigger();
    fMain->mPaste->trigger();
    QCOMPARE(fMain->EditorText(), QStringLiteral("aa"));
    fMain->mUndo->trigger();
    QCOMPARE(fMain->EditorText(), QStringLiteral("a"));
    QCOMPARE(fMain->PanelText(0), QStringLiteral("Mod"));
}

void TMainWindowTest::escapeExitsThroughTheSaveQuestion() {
    ShowActive();
    TFakeDialogs dialogs;
    Type(QStringLiteral("x"));
    dialogs.answers = {TDialogs::TAnswer::Cancel};
    QTest::keyClick(fMain->oText, Qt::Key_Escape);
    QCOMPARE(dialogs.questions, QStringList{QStringLiteral("Save changes to Untitled?")});
    QCOMPARE(dialogs.questionTitles, QStringList{QStringLiteral("Corvane 1.4.beta")});
    QVERIFY(fMain->isVisible());
    QCOMPARE(fMain->EditorText(), QStringLiteral("x"));

    dialogs.answers = {TDialogs::TAnswer::No};
    QTest::keyClick(fMain->oText, Qt::Key_Escape);
    QCOMPARE(dialogs.questions.size(), 2);
    QVERIFY(!fMain->isVisible());
}

void TMainWindowTest::deselectPutsTheCaretAtTheStart() {
    ShowActive();
    fMain->oText->setPlainText(QStringLiteral("first line\nsecond line"));
    QTextCursor cursor = fMain->oText->textCursor();
    cursor.setPosition(13);
    cursor.setPosition(17, QTextCursor::KeepAnchor);
    fMain->oText->setTextCursor(cursor);
    QTest::keyClick(fMain->oText, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!fMain->oText->textCursor().hasSelection());
    QCOMPARE(fMain->oText->textCursor().position(), 0);
    QCOMPARE(fMain->EditorText(), QStringLiteral("first line\r\nsecond line"));
}

void TMainWindowTest::selectAllSelectsTheWholeText() {
    ShowActive();
    fMain->oText->setPlainText(QStringLiteral("ab\ncd"));
    fMain->mSelectAll->trigger();
    QCOMPARE(fMain->oText->textCursor().selectionStart(), 0);
    QCOMPARE(fMain->oText->textCursor().selectionEnd(), 5);
    QCOMPARE(fMain->SelectionStart(), 0);
}

void TMainWindowTest::tabInsertsATabThatStopsEverySixteenColumns() {
    ShowActive();
    Type(QStringLiteral("abc"));
    QTest::keyClick(fMain->oText, Qt::Key_Tab);
    Type(QStringLiteral("d"));
    QTest::keyClick(fMain->oText, Qt::Key_Return);
    Type(QStringLiteral("0123456789abcdefg"));
    QCOMPARE(fMain->RunSource().Lines.at(0), QStringLiteral("abc\td"));
    QCOMPARE(QApplication::focusWidget(), fMain->oText);
    // "d" after the tab stands right above column 16 ("g") of the next line.
    const auto xOf = [](int block, int column) {
        QTextCursor c(fMain->oText->document()->findBlockByNumber(block));
        c.setPosition(c.position() + column);
        return fMain->oText->cursorRect(c).left();
    };
    QCOMPARE(xOf(0, 4), xOf(1, 16));
    QVERIFY(xOf(0, 4) > xOf(1, 15));
}

void TMainWindowTest::longLinesDoNotWrap() {
    ShowActive();
    fMain->oText->setPlainText(QString(500, u'x') + u'\n' + u'y');
    QCOMPARE(fMain->RunSource().Lines.size(), 2);
    QCOMPARE(fMain->oText->document()->findBlockByNumber(0).layout()->lineCount(), 1);
    QVERIFY(fMain->oText->horizontalScrollBar()->maximum() > 0);
    fMain->SetSelection(502, 1); // the "y"
    QCOMPARE(fMain->LineFromChar(fMain->SelectionStart()), 1);
}

void TMainWindowTest::shiftEnterStartsARealLine() {
    ShowActive();
    Type(QStringLiteral("a"));
    QTest::keyClick(fMain->oText, Qt::Key_Return, Qt::ShiftModifier);
    Type(QStringLiteral("b"));
    QCOMPARE(fMain->RunSource().Lines.size(), 2);
    QCOMPARE(fMain->EditorText(), QStringLiteral("a\r\nb"));
}

void TMainWindowTest::runWindowsReadTheTextWithCrlfBreaks() {
    fMain->oText->setPlainText(QStringLiteral("STACK s\n\n  PUSH s\n"));
    QCOMPARE(fMain->EditorText(), QStringLiteral("STACK s\r\n\r\n  PUSH s\r\n"));
    QCOMPARE(fMain->RunSource().Lines, (QStringList{"STACK s", "", "  PUSH s", ""}));
    // Caret behind the final line break: the last, empty line.
    fMain->oText->moveCursor(QTextCursor::End);
    QCOMPARE(fMain->SelectionStart(), 21);
    QCOMPARE(fMain->LineFromChar(fMain->SelectionStart()), 3);
    // A selection over lines counts from its start, whichever end the caret is at.
    QTextCursor cursor = fMain->oText->textCursor();
    cursor.setPosition(14);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    fMain->oText->setTextCursor(cursor);
    QCOMPARE(fMain->SelectionStart(), 2);
    QCOMPARE(fMain->LineFromChar(7), 0); // the CR of line 1
    QCOMPARE(fMain->LineFromChar(8), 0); // its LF
    QCOMPARE(fMain->LineFromChar(9), 1);
    QCOMPARE(fMain->LineFromChar(11), 2);
}

void TMainWindowTest::setSelectionSelectsWithoutEditing() {
    ShowActive();
    fMain->oText->setPlainText(QStringLiteral("ab\ncd"));
    fMain->oText->document()->setModified(false);
    fMain->oTextChange();
    fMain->SetSelection(4, 1); // "c"
    QCOMPARE(fMain->oText->textCursor().selectedText(), QStringLiteral("c"));
    fMain->SetSelection(0, 1); // the very first character
    QCOMPARE(fMain->oText->textCursor().selectedText(), QStringLiteral("a"));
    fMain->SetSelection(2, 1); // the CR: the line break is selected
    QCOMPARE(fMain->oText->textCursor().selectionStart(), 2);
    QCOMPARE(fMain->oText->textCursor().selectionEnd(), 3);
    QVERIFY(!fMain->Modified());
    QVERIFY(fMain->PanelText(0).isEmpty());
}

void TMainWindowTest::printIsDisabledAndCtrlPDoesNothing() {
    ShowActive();
    QVERIFY(!fMain->mPrint->isEnabled());
    QVERIFY(fMain->mFileMenu->actions().contains(fMain->mPrint));
    QTest::keyClick(fMain->oText, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(fMain->EditorText().isEmpty());
}

// Qt highlights no disabled item unless the style allows it; the hint of
// File > Print must reach panel 1 all the same, and the item stays dead.
void TMainWindowTest::disabledPrintStillShowsItsHint() {
    ShowActive();
    QSignalSpy triggered(fMain->mPrint, &QAction::triggered);
    fMain->menuBar()->setActiveAction(fMain->mFileMenu->menuAction());
    QVERIFY(QTest::qWaitForWindowExposed(fMain->mFileMenu));
    fMain->mFileMenu->setActiveAction(fMain->mPrint);
    QCOMPARE(fMain->PanelText(1), QStringLiteral("Prints current document"));
    QTest::keyClick(fMain->mFileMenu, Qt::Key_Return);
    QCOMPARE(triggered.count(), 0);
    fMain->mFileMenu->close();
    QTRY_VERIFY(fMain->PanelText(1).isEmpty());
}

// "SET 1 " and a character of two UTF-16 units: a failure on either half
// selects the whole character, so typing over it leaves no broken half.
void TMainWindowTest::selectionNeverSplitsACharacter() {
    ShowActive();
    fMain->oText->setPlainText(QString::fromUtf8("x\nSET 1 \U0001F600 y"));
    for (int half : {9, 10}) {
        fMain->SetSelection(half, 1);
        QCOMPARE(fMain->oText->textCursor().selectedText(), QString::fromUtf8("\U0001F600"));
    }
    fMain->SetSelection(11, 1);
    QCOMPARE(fMain->oText->textCursor().selectedText(), QStringLiteral(" "));
}

void TMainWindowTest::qtSeesNoCommandLineOptions() {
    char program[] = "corvane";
    char reverse[] = "-reverse";
    char style[] = "-style=windows";
    char* argv[] = {program, reverse, style, nullptr};
    const TQtArguments qt = ProgramNameOnly(3, argv);
    QCOMPARE(qt.argc, 1);
    QCOMPARE(qt.argv[0], program);
    QCOMPARE(qt.argv[1], nullptr);
    QVERIFY(ProgramNameOnly(0, nullptr).argv[0] != nullptr);
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
}

QTEST_MAIN(TMainWindowTest)
#include "mainwindow_test.moc"
