// The one zoom through the real windows: every program text grows by the
// same factor, the break window's panels and machine pane with it; Reset
// gives back the designed sizes; Ctrl+wheel over each text and the zoom keys
// in every window, the modal ones included, reach the same zoom; the run
// window's output wraps anew.
#include "app/startup.h"
#include "gui/fonts.h"
#include "gui/zoom.h"
#include "support/modaldriver.h"
#include "windows/break.h"
#include "windows/check.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/guide.h"
#include "windows/input.h"
#include "windows/machinepane.h"
#include "windows/outputview.h"
#include "windows/run.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>

namespace {

void SendWheel(QWidget* viewport, int delta, Qt::KeyboardModifiers modifiers) {
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

// A key typed into the widget's window, made the active one as a window
// manager would (under X it would come a moment later, if at all, for
// synthesised input).
void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QApplication::setActiveWindow(widget->window());
    QTest::keyClick(widget, key, modifiers);
}

} // namespace

class ZoomTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    TfCheck* check_ = nullptr;

    // Every widget that shows program text, by a name for the messages.
    std::map<QString, QWidget*> Texts() const {
        return {{"editor", fMain->oText},
                {"output", fRun->oText},
                {"break list", fBreak->oCheckListBox},
                {"input memo", fInput->oText},
                {"stacks", fBreak->oMachine->oStacks},
                {"input values", fBreak->oMachine->oInput},
                {"check details", check_->oDetails},
                {"check cases", check_->oCases},
                {"guide", fMain->Guide()->oBrowser},
                {"break panel", fBreak->oStatusBar->findChild<QLabel*>()}};
    }

    std::map<QString, qreal> Sizes() const {
        std::map<QString, qreal> sizes;
        for (const auto& [name, widget] : Texts())
            sizes[name] = widget->font().pointSizeF();
        return sizes;
    }

private Q_SLOTS:
    void initTestCase() {
        windows_ = std::make_unique<TWindows>();
        check_ = new TfCheck(fMain);
        fMain->oText->setPlainText("SET 1\nOUTPUT");
        fRun->Source = fMain->RunSource();
        fBreak->PrepareRun(); // the list has lines to measure
    }
    void cleanupTestCase() { windows_.reset(); }
    void init() { Zoom().Reset(); }
    void cleanup() { Zoom().Reset(); }

    void everyTextGrowsTogetherAndResetRestores() {
        const std::map<QString, qreal> designed = Sizes();
        QCOMPARE(designed.at("editor"), 9.0);
        QCOMPARE(designed.at("check details"), 9.0);
        QCOMPARE(designed.at("guide"), QApplication::font().pointSizeF());
        const int statusHeight = fBreak->oStatusBar->height();
        const int lineHeight = fBreak->oCheckListBox->sizeHintForRow(0);

        fMain->mZoomIn->trigger();
        QCOMPARE(Zoom().Percent(), 110);
        for (const auto& [name, size] : Sizes())
            QVERIFY2(qAbs(size / designed.at(name) - 1.1) < 1e-6, qPrintable(name));
        fMain->mZoomIn->trigger();
        fMain->mZoomIn->trigger();
        fMain->mZoomIn->trigger();
        QCOMPARE(Zoom().Percent(), 146);
        for (const auto& [name, size] : Sizes())
            QVERIFY2(qAbs(size / designed.at(name) - 1.46) < 1e-6, qPrintable(name));
        // The designed heights grow with the texts they hold.
        QVERIFY(fBreak->oStatusBar->height() > statusHeight);
        QVERIFY(fBreak->oCheckListBox->sizeHintForRow(0) > lineHeight);

        fMain->mZoomReset->trigger();
        QCOMPARE(Sizes(), designed);
        QCOMPARE(fBreak->oStatusBar->height(), statusHeight);
        QCOMPARE(fBreak->oCheckListBox->sizeHintForRow(0), lineHeight);
        // The editor's tab stops are measured in its zoomed font.
        const qreal tab = fMain->oText->tabStopDistance();
        fMain->mZoomIn->trigger();
        QVERIFY(fMain->oText->tabStopDistance() > tab);
        fMain->mZoomOut->trigger();
        QCOMPARE(fMain->oText->tabStopDistance(), tab);
    }

    void boundsHold() {
        for (int i = 0; i < 40; ++i)
            fMain->mZoomIn->trigger();
        QCOMPARE(Zoom().Percent(), TZoom::MaxPercent);
        QCOMPARE(fMain->oText->font().pointSizeF(), 9.0 * 4);
        for (int i = 0; i < 40; ++i)
            fMain->mZoomOut->trigger();
        QCOMPARE(Zoom().Percent(), TZoom::MinPercent);
        QCOMPARE(fMain->oText->font().pointSizeF(), 9.0 / 2);
    }

    // Over every text, Ctrl+wheel zooms everything, and a plain wheel does
    // not. The read-only texts would otherwise zoom their own font alone.
    void ctrlWheelOverEachText() {
        for (const auto& [name, widget] : Texts()) {
            auto* area = qobject_cast<QAbstractScrollArea*>(widget);
            if (!area) continue;
            SendWheel(area->viewport(), 120, Qt::ControlModifier);
            QVERIFY2(Zoom().Percent() == 110, qPrintable(name));
            SendWheel(area->viewport(), 120, Qt::NoModifier);
            QVERIFY2(Zoom().Percent() == 110, qPrintable(name));
            SendWheel(area->viewport(), -240, Qt::ControlModifier);
            QVERIFY2(Zoom().Percent() == 91, qPrintable(name));
            QCOMPARE(check_->oDetails->font(), ProgramFont(91));
            Zoom().Reset();
        }
    }

    // The keys act in the editor (Ctrl+0, Ctrl+= and Ctrl+- are not the
    // editor's own, nor typed into the text) and in the modal input dialog.
    void keysInTheEditorAndTheModalInputDialog() {
        fMain->show();
        fMain->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fMain));
        fMain->oText->setPlainText("SET 1");
        Press(fMain->oText, Qt::Key_Equal);
        QCOMPARE(Zoom().Percent(), 110);
        Press(fMain->oText, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(Zoom().Percent(), 121);
        Press(fMain->oText, Qt::Key_0);
        QCOMPARE(Zoom().Percent(), 100);
        Press(fMain->oText, Qt::Key_Minus);
        QCOMPARE(Zoom().Percent(), 91);
        QCOMPARE(fMain->oText->toPlainText(), QString("SET 1"));

        fInput->oText->setPlainText("1 2");
        QList<int> seen;
        TModalDriver driver;
        driver.Then("fInput", [&](QWidget*) {
            Press(fInput->oText, Qt::Key_0);
            seen << Zoom().Percent();
            Press(fInput->oText, Qt::Key_Equal);
            seen << Zoom().Percent() << qRound(fInput->oText->font().pointSizeF() * 10);
            Press(fInput->oText, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
            Press(fInput->oText, Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
            seen << Zoom().Percent();
            fInput->oCancelButton->click();
        });
        fInput->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(seen, (QList<int>{100, 110, 99, 91}));
        QCOMPARE(fInput->oText->toPlainText(), QString("1 2"));
        fMain->hide();
    }

    // In the break window while paused, and in the run window once it is
    // over, with the output wrapped anew at every zoom.
    void keysInTheModalBreakAndRunWindows() {
        QString values;
        for (int i = 0; i < 60; ++i)
            values += QString("SET %1\nOUTPUT\n").arg(100000 + i);
        fMain->oText->setPlainText(values.trimmed());
        QList<int> seen;
        QStringList firstLines;
        TModalDriver driver(10000);
        driver.Then("fInput", [](QWidget*) { fInput->oOkButton->click(); });
        driver.Then("fBreak", [&](QWidget*) {
            Press(fBreak->oCheckListBox, Qt::Key_Equal);
            seen << Zoom().Percent();
            Press(fBreak->oCheckListBox, Qt::Key_0);
            seen << Zoom().Percent();
            fBreak->mContinue->trigger();
        });
        driver.Then(
            "fRun",
            [&](QWidget*) {
                firstLines << fRun->oText->VisibleLines().value(0);
                Press(fRun->oText, Qt::Key_Equal);
                Press(fRun->oText, Qt::Key_Equal);
                seen << Zoom().Percent();
                firstLines << fRun->oText->VisibleLines().value(0);
                Press(fRun->oText, Qt::Key_0);
                firstLines << fRun->oText->VisibleLines().value(0);
                fRun->mClose->trigger();
            },
            [] { return fRun->windowTitle().endsWith(" - [finished]"); });
        fMain->mTrace->trigger();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(seen, (QList<int>{110, 100, 121}));
        QCOMPARE(firstLines.size(), 3);
        QVERIFY2(firstLines[1].size() < firstLines[0].size(), qPrintable(firstLines.join('|')));
        QCOMPARE(firstLines[2], firstLines[0]);
    }

    // The machine pane widens the window by what it gains at a zoom, and the
    // window is back at its width when the zoom is reset. At a big zoom the
    // window stops at the screen's edge (moving left to stay on it) and the
    // pane gives up width before the list has less than half of it.
    void machinePaneGrowsWithTheZoom() {
        fBreak->show();
        if (!fBreak->MachineOpen()) fBreak->mMachineClick();
        const int window = fBreak->width();
        const int pane = fBreak->oMachine->width();
        const int list = window - pane;
        QCOMPARE(pane, fBreak->oMachine->DesignedWidth());
        const QRect room = fBreak->screen()->availableGeometry();
        QVERIFY2(window + pane / 2 <= room.width(), "the screen leaves room for a 150% pane");
        Zoom().SetPercent(150);
        QTRY_COMPARE(fBreak->oMachine->width(), fBreak->oMachine->DesignedWidth());
        QCOMPARE(fBreak->width() - window, fBreak->oMachine->width() - pane);

        fBreak->move(room.right() - fBreak->frameGeometry().width(), fBreak->y());
        Zoom().SetPercent(300);
        QTRY_VERIFY(fBreak->oMachine->width() > pane);
        QCOMPARE(fBreak->oMachine->width(),
                 std::min(fBreak->oMachine->DesignedWidth(), ScreenRoom(*fBreak).width() - list));
        QVERIFY(fBreak->frameGeometry().right() <= room.right());
        QVERIFY(fBreak->frameGeometry().width() <= room.width());
        QCOMPARE(fBreak->width() - fBreak->oMachine->width(), list);

        Zoom().Reset();
        QCOMPARE(fBreak->oMachine->width(), pane);
        QCOMPARE(fBreak->width(), window);
        fBreak->mMachineClick();
        QCOMPARE(fBreak->width(), list);
        fBreak->hide();
    }

    // No two of the main window's commands share a key: a shared key would
    // make Qt give it to neither.
    void mainWindowKeysAreUnique() {
        QSet<const QAction*> actions;
        for (const QAction* action : fMain->actions())
            actions << action;
        for (const QAction* item : fMain->menuBar()->actions())
            for (const QAction* action : item->menu()->actions())
                actions << action;
        std::map<QKeySequence, QString> owners;
        for (const QAction* action : actions)
            for (const QKeySequence& key : action->shortcuts()) {
                const auto [at, fresh] = owners.emplace(key, action->objectName());
                QVERIFY2(fresh, qPrintable(key.toString() + ": " + at->second + ", " +
                                           action->objectName()));
            }
        QCOMPARE(owners.at(QKeySequence("Ctrl+-")), QString("mZoomOut"));
        QCOMPARE(owners.at(QKeySequence("Ctrl+0")), QString("mZoomReset"));
    }
};

QTEST_MAIN(ZoomTest)
#include "zoom_test.moc"
