// Help > Language Guide: the menu item, the guide opened at the keyword under
// the caret, the search, the zoom, and the example links that load an example
// into the editor after the save question.
#include "app/startup.h"
#include "gui/guidesource.h"
#include "gui/zoom.h"
#include "support/fakedialogs.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/guide.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

using TAnswer = TDialogs::TAnswer;

class TGuideTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void helpMenuHoldsTheGuideBeforeAbout();
    void opensAtTheKeywordUnderTheCaret_data();
    void opensAtTheKeywordUnderTheCaret();
    void elsewhereOpensWhereItWas();
    void searchFindsGoesRoundAndReportsNotFound();
    void zoomKeysAndWheel();
    void escapeClosesTheGuideOnly();
    void designedSizeWithinTheScreen();
    void exampleLinkAsksFirstAndCancelKeepsTheText();
    void exampleLoadsAsAnUnsavedDocumentNamedAfterIt();

private:
    void SetText(const QString& text, int line, int column) {
        fMain->oText->setPlainText(text);
        QTextCursor cursor(fMain->oText->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        fMain->oText->setTextCursor(cursor);
    }
    static void ClickExample(const QString& name) {
        Q_EMIT fMain->Guide()->oBrowser->anchorClicked(QUrl(QStringLiteral("example:") + name));
    }
    // The guide, shown from the menu and made the active window (the keys'
    // shortcuts act in the active window only).
    static TfGuide* ShowGuide() {
        fMain->mGuide->trigger();
        TfGuide* guide = fMain->Guide();
        guide->activateWindow();
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == guide; })) return nullptr;
        return guide;
    }
    static int SelectionStart() { return fMain->Guide()->oBrowser->textCursor().selectionStart(); }

    std::unique_ptr<TWindows> windows_;
};

void TGuideTest::init() {
    windows_ = std::make_unique<TWindows>();
    fMain->show();
    fMain->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fMain));
}

void TGuideTest::cleanup() {
    if (fMain) fMain->oText->document()->setModified(false);
    windows_.reset();
}

void TGuideTest::helpMenuHoldsTheGuideBeforeAbout() {
    QCOMPARE(fMain->mGuide->objectName(), QStringLiteral("mGuide"));
    QCOMPARE(fMain->mGuide->text(), QStringLiteral("&Language Guide"));
    QCOMPARE(fMain->mGuide->shortcut(), QKeySequence(QStringLiteral("Shift+F1")));
    QCOMPARE(fMain->mGuide->toolTip(), QStringLiteral("Language Guide"));
    QCOMPARE(fMain->mGuide->statusTip(), QStringLiteral("Shows the language reference"));
    QCOMPARE(fMain->mHelpMenu->actions(), QList<QAction*>({fMain->mGuide, fMain->mAbout}));
    // About keeps its F1, its caption and its place as the bold default.
    QCOMPARE(fMain->mAbout->shortcut(), QKeySequence(QStringLiteral("F1")));
    QCOMPARE(fMain->mAbout->text(), QStringLiteral("&About Corvane ..."));
    QCOMPARE(fMain->mHelpMenu->defaultAction(), fMain->mAbout);
    QVERIFY(!fMain->mGuide->font().bold());
}

void TGuideTest::opensAtTheKeywordUnderTheCaret_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("heading");
    // "Input and output" comes before INPUT's own section: keywords match in
    // their case, as a whole word.
    QTest::newRow("INPUT, caret inside") << 1 << 2 << "INPUT";
    QTest::newRow("lower-case push, caret after it") << 2 << 6 << "PUSH";
    QTest::newRow("STACK at the start") << 0 << 0 << "STACK";
    QTest::newRow("NOT") << 3 << 4 << "NOT";
    QTest::newRow("ZERO") << 3 << 8 << "ZERO";
    QTest::newRow("GOTO has its own section") << 3 << 14 << "GOTO";
    QTest::newRow("ELSE is in the IF heading") << 3 << 22 << "IF … GOTO … ELSE";
    QTest::newRow("EMPTY") << 4 << 10 << "EMPTY";
}

void TGuideTest::opensAtTheKeywordUnderTheCaret() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, heading);
    SetText(QStringLiteral("STACK s\nINPUT x\n  push s // ADD\nIF NOT ZERO GOTO x ELSE y\n"
                           ":x IF EMPTY s GOTO y\n:y"),
            line, column);
    QTest::keyClick(fMain->oText, Qt::Key_F1, Qt::ShiftModifier);
    TfGuide* guide = fMain->Guide();
    QVERIFY(guide->isVisible());
    QVERIFY(!guide->isModal());
    QCOMPARE(guide->objectName(), QStringLiteral("fGuide"));
    QCOMPARE(guide->windowTitle(), QStringLiteral("Language Guide - Corvane 1.4.beta"));
    QCOMPARE(guide->TopHeading(), heading);
    QCOMPARE(guide->oBrowser->textCursor().block().text(), heading);
    // The editor is untouched and the window is the same one on every call.
    QVERIFY(!fMain->Modified());
    fMain->mGuide->trigger();
    QCOMPARE(fMain->Guide(), guide);
    QCOMPARE(fMain->findChildren<TfGuide*>().size(), 1);
}

void TGuideTest::elsewhereOpensWhereItWas() {
    // In a comment, on a label, on a number: no keyword.
    SetText(QStringLiteral("SET 5 // OUTPUT\n:set SET -max"), 0, 11);
    fMain->mGuide->trigger();
    QCOMPARE(fMain->Guide()->TopHeading(), QStringLiteral("Corvane Language Guide"));
    SetText(QStringLiteral("SET 5 // OUTPUT\n:set SET -max"), 1, 0);
    fMain->mGuide->trigger();
    QCOMPARE(fMain->Guide()->TopHeading(), QStringLiteral("Corvane Language Guide"));
    SetText(QStringLiteral("SET 5 // OUTPUT\n:set SET -max"), 1, 8);
    fMain->mGuide->trigger();
    QCOMPARE(fMain->Guide()->TopHeading(), QStringLiteral("SET"));
    SetText(QStringLiteral("SET 5 // OUTPUT\n:set SET -max"), 1, 12);
    fMain->mGuide->trigger();
    QCOMPARE(fMain->Guide()->TopHeading(), QStringLiteral("SET"));
}

void TGuideTest::searchFindsGoesRoundAndReportsNotFound() {
    TfGuide* guide = ShowGuide();
    QVERIFY(guide);
    QTest::keyClick(guide->oBrowser, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(guide->oSearch->hasFocus());
    QTest::keyClicks(guide->oSearch, QStringLiteral("stack is EMPTY!"));
    QTest::keyClick(guide->oSearch, Qt::Key_Return);
    QCOMPARE(guide->oBrowser->textCursor().selectedText(), QStringLiteral("Stack is empty!"));
    QCOMPARE(guide->oSearchState->text(), QString());
    const int first = SelectionStart();

    // The phrase stands twice (Stacks and its message heading): F3
    // reaches the other, goes round to the first, and Shift+F3 goes back.
    QTest::keyClick(guide->oSearch, Qt::Key_F3);
    const int second = SelectionStart();
    QVERIFY(second != first);
    QTest::keyClick(guide->oSearch, Qt::Key_F3);
    QTest::keyClick(guide->oSearch, Qt::Key_F3);
    QCOMPARE(SelectionStart(), second);
    QTest::keyClick(guide->oSearch, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(SelectionStart() != second);

    // Not found: the state shows, the selection stays where it was.
    const int kept = SelectionStart();
    guide->oSearch->setText(QStringLiteral("no such words anywhere"));
    QTest::keyClick(guide->oSearch, Qt::Key_Return);
    QCOMPARE(guide->oSearchState->text(), QStringLiteral("Not found"));
    QCOMPARE(SelectionStart(), kept);
    // Typing again clears it.
    QTest::keyClick(guide->oSearch, Qt::Key_Backspace);
    QCOMPARE(guide->oSearchState->text(), QString());
}

void TGuideTest::zoomKeysAndWheel() {
    TfGuide* guide = ShowGuide();
    QVERIFY(guide);
    const qreal normal = guide->oBrowser->font().pointSizeF();
    // Code grows with the text: a code block's height and a code span's width.
    QTextDocument* doc = guide->oBrowser->document();
    QTextBlock code = doc->begin();
    while (code.isValid() && !code.blockFormat().hasProperty(QTextFormat::BlockCodeFence))
        code = code.next();
    QVERIFY(code.isValid());
    const qreal codeHeight = doc->documentLayout()->blockBoundingRect(code).height();
    QTest::keyClick(guide->oBrowser, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(guide->oBrowser, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(Zoom().Percent(), 121);
    QVERIFY(guide->oBrowser->font().pointSizeF() > normal);
    QCOMPARE(doc->defaultFont().pointSizeF(), guide->oBrowser->font().pointSizeF());
    QVERIFY(doc->documentLayout()->blockBoundingRect(code).height() > codeHeight * 1.2);
    QTest::keyClick(guide->oBrowser, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(guide->oBrowser->font().pointSizeF(), normal);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(guide->oBrowser, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(Zoom().Percent(), TZoom::MinPercent);
    QVERIFY(guide->oBrowser->font().pointSizeF() >= 0.5 * normal - 0.01);

    Zoom().Reset();
    QWidget* viewport = guide->oBrowser->viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(Zoom().Percent(), 110);
    Zoom().Reset();
}

void TGuideTest::escapeClosesTheGuideOnly() {
    TfGuide* guide = ShowGuide();
    QVERIFY(guide);
    QTest::keyClick(guide->oBrowser, Qt::Key_Escape);
    QVERIFY(!guide->isVisible());
    QVERIFY(fMain->isVisible());
}

// The designed size at the designed font; at a desktop font too big for it,
// what the screen has room for.
void TGuideTest::designedSizeWithinTheScreen() {
    QCOMPARE(TfGuide().size(), QSize(640, 720));
    const QFont normal = QApplication::font();
    QFont big = normal;
    big.setPointSizeF(normal.pointSizeF() * 3);
    QApplication::setFont(big);
    TfGuide guide;
    QApplication::setFont(normal);
    const QSize room = guide.screen()->availableGeometry().size();
    QVERIFY(room.height() < 720 * 3);
    QCOMPARE(guide.size(), QSize(640 * 3, 720 * 3).boundedTo(room));
}

void TGuideTest::exampleLinkAsksFirstAndCancelKeepsTheText() {
    TFakeDialogs dialogs;
    fMain->oText->insertPlainText(QStringLiteral("SET 1"));
    dialogs.answers = {TAnswer::Cancel};
    ClickExample(QStringLiteral("sum"));
    QCOMPARE(dialogs.questions, QStringList({"Save changes to Untitled?"}));
    QCOMPARE(fMain->EditorText(), QStringLiteral("SET 1"));
    QVERIFY(fMain->Modified());
    QCOMPARE(fMain->File.Name, QStringLiteral("Untitled"));

    // An unknown name changes nothing and asks nothing.
    ClickExample(QStringLiteral("nosuch"));
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(fMain->EditorText(), QStringLiteral("SET 1"));
}

void TGuideTest::exampleLoadsAsAnUnsavedDocumentNamedAfterIt() {
    TFakeDialogs dialogs;
    fMain->oText->insertPlainText(QStringLiteral("SET 1"));
    dialogs.answers = {TAnswer::No};
    ClickExample(QStringLiteral("gcd"));
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(fMain->EditorText().toUtf8(), ExampleBytes(QStringLiteral("gcd")));
    QVERIFY(!fMain->Modified());
    QCOMPARE(fMain->PanelText(0), QString());
    QCOMPARE(fMain->File.Name, QStringLiteral("gcd.cv"));
    QCOMPARE(fMain->File.Dir, QString());
    QCOMPARE(fMain->windowTitle(), QStringLiteral("gcd.cv - Corvane 1.4.beta"));

    // Not modified: the next example asks nothing; Save asks for a name and
    // proposes the example's.
    ClickExample(QStringLiteral("sum"));
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(fMain->File.Name, QStringLiteral("sum.cv"));
    fMain->mSave->trigger();
    QCOMPARE(dialogs.saveDialogs, 1);
    QCOMPARE(dialogs.lastProposed, QStringLiteral("sum.cv"));
    QCOMPARE(fMain->File.Name, QStringLiteral("sum.cv"));
}

QTEST_MAIN(TGuideTest)
#include "guide_test.moc"
