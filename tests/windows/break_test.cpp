// The break window: tab expansion, the "<BREAK>" marks and the stop test, the
// panels of the paused machine, the double-click message, and how each of
// its commands ends the pause.
#include "app/startup.h"
#include "core/appstrings.h"
#include "core/program.h"
#include "gui/fonts.h"
#include "gui/infobox.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"
#include "windows/stacksummary.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
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

    // The editor's text, handed to the run as a run command does.
    static void SetEditor(const QString& text) {
        fMain->oText->setPlainText(text);
        fRun->Source = fMain->RunSource();
    }

    static QList<bool> Marks() {
        QList<bool> marks;
        const QAbstractItemModel* model = fBreak->oCheckListBox->model();
        for (int i = 0; i < model->rowCount(); ++i)
            marks << (model->index(i, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked);
        return marks;
    }

    // As the check box of a line does when clicked.
    static void SetMark(int row, Qt::CheckState state) {
        QAbstractItemModel* model = fBreak->oCheckListBox->model();
        model->setData(model->index(row, 0), state, Qt::CheckStateRole);
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
        // A bound that stops before the last stack says so; one that does not, not.
        QCOMPARE(StackSummary(prog, 3), QString("B: 1,2; …"));
        QCOMPARE(StackSummary(prog, 20), QString("B: 1,2; A: -1,-2147483648; …"));
        QCOMPARE(StackSummary(prog, 30), StackSummary(prog));
        QCOMPARE(StackSummary(bare, 3), QString("Primary Stack: EMPTY; "));
        QCOMPARE(::SignedText(2147483647u), QString("2147483647"));
    }

    void prepareRunListsLinesAndMarksBreakInAnyCase() {
        SetEditor("SET 1 // <BREAK>\r\n\tOUTPUT\r\n// <break>\r\nEXIT // <Break>\r\nx<brea k>");
        fBreak->PrepareRun();
        QCOMPARE(fBreak->windowTitle(), fMain->Caption() + " - [break]");
        QCOMPARE(fBreak->oCheckListBox->model()->rowCount(), 5);
        QCOMPARE(fBreak->ListedLine(1), QString(16, ' ') + "OUTPUT");
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
            SetMark(0, Qt::Checked);
            SetMark(1, Qt::Unchecked);
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
            row = fBreak->oCheckListBox->currentIndex().row();
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
            row = fBreak->oCheckListBox->currentIndex().row();
            fBreak->mContinue->trigger();
        });
        QCOMPARE(panels, (QStringList{"WR: -2147483648", "In: EMPTY"}));
        QVERIFY(fBreak->oCheckListBox->selectionModel()->selectedIndexes().isEmpty());
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
        SKIP_UNLESS_ACTIVATION_IS_OURS();
        SetEditor("A");
        fBreak->PrepareRun();
        FillExample(*fRun->Prog);
        const TInfoBoxHook previous = SetInfoBoxHook({});
        TModalDriver driver;
        driver.Then("fBreak",
                    [](QWidget*) { QTest::mouseDClick(fBreak->oStatusBar, Qt::LeftButton); });
        driver.Then("", PressOnlyButton);
        driver.Then(
            "fBreak", [](QWidget*) { QTest::keyClick(fBreak->oCheckListBox, Qt::Key_F8); },
            HasActivation(fBreak));
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

    void spaceAndMouseToggleMarks() {
        SetEditor("SET 1\r\nSET 2\r\nSET 3");
        fBreak->PrepareRun();
        fRun->StopLine = 2;
        ShowAndAnswer([](QWidget*) {
            QListView* list = fBreak->oCheckListBox;
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Space);
            QStyleOptionViewItem option;
            option.initFrom(list);
            option.rect = list->visualRect(list->model()->index(2, 0));
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
            const QRect box =
                list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
            fBreak->mContinue->trigger();
        });
        QCOMPARE(Marks(), (QList<bool>{false, true, true}));
        QVERIFY(fBreak->IsStopLine(1) && fBreak->IsStopLine(2));
    }

    // The widest register and input texts fit their panels uncut, at the
    // application's font and at a larger one given while the program runs;
    // every window's panels are framed as the main window's are.
    void panelsHoldTheirWidestTexts() {
        for (const QWidget* window : {static_cast<QWidget*>(fBreak), static_cast<QWidget*>(fRun),
                                      static_cast<QWidget*>(fInput)})
            QCOMPARE(window->font(), QApplication::font());
        const QList<QLabel*> panels =
            fBreak->oStatusBar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(panels.size(), 3);
        const auto fits = [&](int panel, const QString& text) {
            const QLabel* label = panels[panel];
            const int indent = label->fontMetrics().horizontalAdvance(u'x') / 2;
            return label->contentsRect().width() - indent >=
                   label->fontMetrics().horizontalAdvance(text);
        };
        const QFont normal = QApplication::font();
        const QFont large = ScaledFont(normal, 17.0 / 11.0);
        for (const QFont& font : {normal, large}) {
            QApplication::setFont(font); // reaches the windows as a posted event
            QTRY_COMPARE(panels[0]->font().pointSizeF(), font.pointSizeF());
            QVERIFY2(fits(0, "WR: -2147483648"), qPrintable(font.toString()));
            QVERIFY2(fits(1, "In: -2147483648"), qPrintable(font.toString()));
            QVERIFY(panels[0]->width() >= 100 && panels[1]->width() >= 100);
        }
        QApplication::setFont(normal);
        QTRY_COMPARE(panels[0]->font().pointSizeF(), normal.pointSizeF());
        // The status bar's layout learns its panels' new widths from posted
        // events; until then the window's minimum is the larger font's.
        QTRY_VERIFY(fBreak->minimumSizeHint().width() < 296);
        fBreak->resize(296, 280); // the larger font widened the window

        const QFrame* mainPanel = fMain->oStatusBar->findChild<QLabel*>("oStatusPanel1");
        QVERIFY(mainPanel);
        QList<QLabel*> all = panels + fRun->oStatusBar->findChildren<QLabel*>();
        for (const QLabel* panel : all)
            QCOMPARE(panel->frameStyle(), mainPanel->frameStyle());
    }

    // Panel 2 cuts what does not fit; the window keeps its size, however many
    // and however long the stacks' names.
    void longStackSummaryKeepsTheWindowNarrow() {
        SetEditor("SET 1");
        fBreak->PrepareRun();
        TProgram& prog = *fRun->Prog;
        prog.ClearStacks();
        prog.AddStack("");
        for (int i = 0; i < 14; ++i)
            prog.AddStack(QString("A_RATHER_LONG_STACK_NAME_NUMBER_%1").arg(i).toStdString());
        int width = 0, minimum = 0;
        QString panel;
        ShowAndAnswer([&](QWidget*) {
            width = fBreak->width();
            minimum = fBreak->minimumSizeHint().width();
            panel = fBreak->PanelText(2);
            fBreak->mContinue->trigger();
        });
        QVERIFY2(width <= 296, qPrintable(QString::number(width)));
        QVERIFY(minimum < 296);
        QVERIFY(width <= fBreak->screen()->availableGeometry().width());
        QVERIFY(panel.startsWith("A_RATHER_LONG_STACK_NAME_NUMBER_13: EMPTY; "));
        FillExample(prog);
    }

    // The window is shown again where it was hidden, as the same window.
    // (Under a window manager a move lands a little later.)
    void placeKeptAcrossPauses() {
        SetEditor("SET 1");
        fBreak->PrepareRun();
        const QPoint place(137, 91);
        WId first = 0, second = 0;
        bool moved = false, kept = false;
        ShowAndAnswer([&](QWidget*) {
            first = fBreak->winId();
            fBreak->move(place);
            moved = QTest::qWaitFor([&] { return fBreak->pos() == place; }, 2000);
            QTest::qWait(200); // the window manager's answer to the move
            fBreak->mNext->trigger();
        });
        ShowAndAnswer([&](QWidget*) {
            second = fBreak->winId();
            kept = QTest::qWaitFor([&] { return fBreak->pos() == place; }, 2000);
            fBreak->close(); // the close box
        });
        QVERIFY(moved);
        QVERIFY2(kept, qPrintable(QString("at %1,%2").arg(fBreak->x()).arg(fBreak->y())));
        QCOMPARE(second, first);
        WId third = 0;
        ShowAndAnswer([&](QWidget*) {
            third = fBreak->winId();
            kept = QTest::qWaitFor([&] { return fBreak->pos() == place; }, 2000);
            fBreak->mContinue->trigger();
        });
        QVERIFY(kept);
        QCOMPARE(third, first);
    }

    // The panel shows only what it can; the box still lists every stack.
    void nextWithAMillionStacks() {
        SetEditor("SET 1");
        fBreak->PrepareRun();
        TProgram& prog = *fRun->Prog;
        prog.ClearStacks();
        prog.AddStack("");
        constexpr int count = 1000000;
        for (int i = 0; i < count; ++i)
            prog.AddStack(QByteArray("S").append(QByteArray::number(i)).toStdString());
        QString panel, spoken;
        const int result = ShowAndAnswer([&](QWidget*) {
            panel = fBreak->PanelText(2);
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(
                fBreak->oStatusBar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly).at(2));
            spoken = read && read->textInterface() ? read->textInterface()->text(0, -1) : "";
            fBreak->mNext->trigger();
        });
        QCOMPARE(result, TfBreak::ResultNext);
        QVERIFY(panel.startsWith("S999999: EMPTY; S999998: EMPTY; "));
        QVERIFY2(panel.size() < 10000, qPrintable(QString::number(panel.size())));
        // A screen reader hears that the summary goes on, as the eye sees.
        QCOMPARE(spoken, panel);
        QVERIFY(spoken.endsWith("; …"));
        qsizetype lines = 0;
        const TInfoBoxHook previous =
            SetInfoBoxHook([&](const QString&, const QString& m) { lines = m.count(u'\n'); });
        fBreak->oStatusBarDblClick();
        SetInfoBoxHook(previous);
        QCOMPARE(lines, count + 1);
        FillExample(prog);
    }
};

QTEST_MAIN(BreakWindowTest)
#include "break_test.moc"
