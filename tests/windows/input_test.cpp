// The input dialog as the run meets it: accepting, remembering, refusing a
// bad character with the character selected, Enter, Esc, the close box, the
// drop-down of earlier inputs, and the layout rules.
#include "app/startup.h"
#include "core/appstrings.h"
#include "gui/modals.h"
#include "support/fakedialogs.h"
#include "support/modaldriver.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

#include <memory>
#include <stdexcept>
#include <vector>

class InputDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindows> windows_;
    std::unique_ptr<TErrorRecorder> sink_;
    QStringList errors_;

    // Shows the dialog with `text` in the memo, lets `act` answer it, returns the result.
    int Show(const QString& text, TModalDriver::TAction act) {
        fInput->oText->setPlainText(text);
        TModalDriver driver;
        driver.Then("fInput", std::move(act));
        const int result = fInput->exec();
        if (!driver.Done()) qWarning() << driver.Report();
        return result;
    }

    static std::vector<uint32_t> Values() { return fInput->InputList.Values(); }

    static QStringList OldInputs() {
        QStringList items;
        for (int i = 0; i < fInput->oOldInputs->count(); ++i)
            items << fInput->oOldInputs->itemText(i);
        return items;
    }

    static void ClickOk(QWidget*) { fInput->oOkButton->click(); }

private Q_SLOTS:
    void initTestCase() {
        windows_ = std::make_unique<TWindows>();
        sink_ = std::make_unique<TErrorRecorder>();
        sink_->OnError = [this](const QString& m) { errors_ << m; };
    }
    void cleanupTestCase() {
        sink_.reset();
        windows_.reset();
    }
    void init() { errors_.clear(); }

    void acceptedTextsAreRememberedOnceInOrder() {
        fInput->oOldInputs->clear();
        QString caption;
        QCOMPARE(Show("7",
                      [&](QWidget* w) {
                          caption = w->windowTitle();
                          ClickOk(w);
                      }),
                 TfInput::ResultAccepted);
        QCOMPARE(caption, fMain->Caption() + " - [input]");
        QCOMPARE(Values(), std::vector<uint32_t>{7});
        QCOMPARE(Show("1 2 3", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(Values(), (std::vector<uint32_t>{1, 2, 3}));
        QCOMPARE(Show("1 2 3", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(OldInputs(), (QStringList{"7", "1 2 3"}));
        QVERIFY(errors_.isEmpty());
        // The memo keeps the last text for the next run.
        QCOMPARE(fInput->oText->toPlainText(), QString("1 2 3"));
    }

    void emptyMemoGivesNoValues() {
        QCOMPARE(Show("", ClickOk), TfInput::ResultAccepted);
        QVERIFY(Values().empty());
    }

    // An input over two lines shows on one line and comes back exact; an
    // empty input is no entry.
    void earlierInputsShowOnOneLine() {
        fInput->oOldInputs->clear();
        QCOMPARE(Show("-1\n2", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(Show("", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(Show(" \n ", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(Show("-1 2", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(OldInputs(), (QStringList{"-1 2", "-1 2"}));
        QCOMPARE(fInput->OldInput(0), QString("-1\n2"));
        QCOMPARE(fInput->OldInput(1), QString("-1 2"));
    }

    // Browsing the closed drop-down (wheel, arrow keys) leaves the memo; a
    // choice from the opened list or Enter fills it as one undoable edit.
    void onlyAnExplicitChoiceFillsTheMemo() {
        fInput->oOldInputs->clear();
        QCOMPARE(Show("5 6", ClickOk), TfInput::ResultAccepted);
        QCOMPARE(Show("-1\n2", ClickOk), TfInput::ResultAccepted);
        fInput->show();
        QVERIFY(QTest::qWaitForWindowExposed(fInput));
        fInput->oText->setPlainText("typed");
        QComboBox* box = fInput->oOldInputs;
        box->setCurrentIndex(1);
        const QPointF centre = QRectF(box->rect()).center();
        QWheelEvent wheel(centre, box->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
        QCOMPARE(box->currentIndex(), 0);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(fInput->oText->toPlainText(), QString("typed"));

        QTest::keyClick(box, Qt::Key_Return); // chooses "-1\n2"
        QCOMPARE(fInput->oText->toPlainText(), QString("-1\n2"));
        QVERIFY(fInput->isVisible());
        fInput->oText->undo();
        QCOMPARE(fInput->oText->toPlainText(), QString("typed"));

        box->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(box->view()));
        QTest::keyClick(box->view(), Qt::Key_Up);
        QCOMPARE(fInput->oText->toPlainText(), QString("typed"));
        QTest::keyClick(box->view(), Qt::Key_Return);
        QCOMPARE(fInput->oText->toPlainText(), QString("5 6"));
        fInput->oText->undo();
        QCOMPARE(fInput->oText->toPlainText(), QString("typed"));
        fInput->hide();
    }

    // An error inside OK ends in the top-level box; the dialog goes on.
    void errorInOkIsShownAndTheDialogGoesOn() {
        // The bad character's box throws; the box that reports it records.
        struct TThrowingOnce : TFakeDialogs {
            bool Thrown = false;
            void Error(QWidget* parent, const QString& title, const QString& text) override {
                if (!std::exchange(Thrown, true)) throw std::runtime_error("out of luck");
                TFakeDialogs::Error(parent, title, text);
            }
        } boxes;
        bool stillOpen = false;
        const int result = Show("x", [&](QWidget*) {
            ClickOk(nullptr);
            stillOpen = fInput->isVisible();
            fInput->oText->setPlainText("3");
            ClickOk(nullptr);
        });
        QVERIFY(stillOpen);
        QCOMPARE(boxes.errors, QStringList{"out of luck."});
        QCOMPARE(result, TfInput::ResultAccepted);
        QCOMPARE(Values(), std::vector<uint32_t>{3});
    }

    // Either half of a character of two UTF-16 units selects all of it.
    void badCharacterOfTwoUnitsIsSelectedWhole() {
        int selStart = -1, selLength = -1;
        Show(QString::fromUtf8("1\n\U0001F600"), [&](QWidget*) {
            ClickOk(nullptr);
            const QTextCursor c = fInput->oText->textCursor();
            selStart = c.selectionStart();
            selLength = c.selectionEnd() - c.selectionStart();
            fInput->oCancelButton->click();
        });
        QCOMPARE(selStart, 2);
        QCOMPARE(selLength, 2);
    }

    // The bad character is selected; on a later line the CR LF before it
    // counts two characters in the parse but one in the memo.
    void badCharacterKeepsTheDialogOpenWithTheCharacterSelected_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::newRow("first line") << "12 x3" << 3;
        QTest::newRow("second line") << "1 2\n3 x" << 6;
        QTest::newRow("third line") << "1\n\n-x" << 4;
        QTest::newRow("second minus") << "--5" << 1;
    }
    void badCharacterKeepsTheDialogOpenWithTheCharacterSelected() {
        QFETCH(QString, text);
        QFETCH(int, start);
        fInput->oOldInputs->clear();
        bool stillOpen = false;
        int selStart = -1, selLength = -1;
        const int result = Show(text, [&](QWidget*) {
            ClickOk(nullptr);
            stillOpen = fInput->isVisible();
            const QTextCursor c = fInput->oText->textCursor();
            selStart = c.selectionStart();
            selLength = c.selectionEnd() - c.selectionStart();
            fInput->oCancelButton->click();
        });
        QCOMPARE(result, TfInput::ResultCancelled);
        QVERIFY(stillOpen);
        QCOMPARE(errors_, QStringList{"Unrecognized character ..."});
        QCOMPARE(selStart, start);
        QCOMPARE(selLength, 1);
        QCOMPARE(fInput->oOldInputs->count(), 0);
    }

    // With the real error box: once it is closed the memo has the keys again,
    // with no window manager to hand the activation back (offscreen, bare Xvfb).
    void memoHasTheKeysAfterTheErrorBox() {
        SKIP_UNLESS_ACTIVATION_IS_OURS();
        TRealDialogs realBox;
        fInput->oText->setPlainText("12 x3");
        TModalDriver driver;
        driver.Then("fInput", ClickOk);
        driver.Then("", PressOnlyButton);
        driver.Then(
            "fInput",
            [](QWidget*) {
                QWidget* keys = QApplication::focusWidget();
                if (keys != fInput->oText) return;     // stuck: the watchdog ends it
                QTest::keyClick(keys, Qt::Key_Delete); // the selected x
                QTest::keyClick(keys, Qt::Key_Return);
            },
            HasActivation(fInput));
        const int result = fInput->exec();
        QVERIFY2(driver.Done(), qPrintable(driver.Report()));
        QCOMPARE(result, TfInput::ResultAccepted);
        QCOMPARE(Values(), (std::vector<uint32_t>{12, 3}));
    }

    void enterInTheMemoPressesOk() {
        const int result = Show("4", [](QWidget*) {
            fInput->oText->moveCursor(QTextCursor::End);
            QTest::keyClick(fInput->oText, Qt::Key_Return);
        });
        QCOMPARE(result, TfInput::ResultAccepted);
        QCOMPARE(fInput->oText->toPlainText(), QString("4"));
        QCOMPARE(Values(), std::vector<uint32_t>{4});
    }

    void cancelEscAndCloseBoxAllGiveTwo() {
        QCOMPARE(Show("1", [](QWidget*) { fInput->oCancelButton->click(); }),
                 TfInput::ResultCancelled);
        QCOMPARE(Show("1", [](QWidget*) { QTest::keyClick(fInput->oText, Qt::Key_Escape); }),
                 TfInput::ResultCancelled);
        QCOMPARE(Show("1", [](QWidget*) { fInput->close(); }), TfInput::ResultCancelled);
        QVERIFY(!fInput->isVisible());
    }

    void layoutFollowsTheSize() {
        fInput->show();
        const auto sizeTo = [](int w, int h) {
            fInput->resize(w, h);
            return QTest::qWaitFor([&] { return fInput->oText->width() == w; }, 2000);
        };
        QVERIFY(sizeTo(633, 327));
        QCOMPARE(fInput->oText->geometry(), QRect(0, 24, 633, 266));
        QCOMPARE(fInput->oOldInputs->width(), 633);
        QCOMPARE(fInput->oOkButton->pos(), QPoint(469, 296));
        QCOMPARE(fInput->oCancelButton->pos(), QPoint(550, 296));
        QVERIFY(sizeTo(400, 200));
        QCOMPARE(fInput->oText->geometry(), QRect(0, 24, 400, 139));
        QCOMPARE(fInput->oCancelButton->pos(), QPoint(317, 169));
        fInput->resize(50, 40);
        QVERIFY(fInput->width() >= 200 - 8 && fInput->height() >= 126 - 24);
        fInput->hide();
    }
};

QTEST_MAIN(InputDialogTest)
#include "input_test.moc"
