// The run window's output view: the text stays values and blanks without
// line breaks however the view wraps it, copying gives that text, and a
// resize wraps only what it shows, without changing the text.
#include "windows/outputview.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

class OutputViewTest : public QObject {
    Q_OBJECT

    static uint32_t Value(int i) { return static_cast<uint32_t>(i) * 7919u - 500000u; }

    static QString Expected(int count) {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QString::number(static_cast<int32_t>(Value(i))) + ' ';
        return text;
    }

    static void Fill(TOutputView& view, int from, int to) {
        for (int i = from; i < to; ++i)
            view.Append(Value(i));
    }

    static void Show(TOutputView& view, int width) {
        view.resize(width, 150);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    // Every screen line fits the view, holds whole values, and the lines are
    // consecutive pieces of the text.
    static void CheckWrapped(const TOutputView& view, const QString& text) {
        const QFontMetricsF metrics(view.font());
        const qreal avail = view.viewport()->width();
        const QStringList lines = view.VisibleLines();
        QVERIFY(lines.size() > 2);
        const QString shown = lines.join(QString());
        QVERIFY(text.contains(shown));
        const qsizetype at = text.indexOf(shown);
        QVERIFY(at == 0 || text[at - 1] == ' ');
        for (const QString& line : lines) {
            QVERIFY(line.endsWith(' '));
            QVERIFY(metrics.horizontalAdvance(line.trimmed()) <= avail);
        }
        if (view.AtEnd()) QVERIFY(text.endsWith(shown));
    }

private Q_SLOTS:
    void signedValuesAndBlanks() {
        TOutputView view;
        for (uint32_t v : {1u, 0u, 4294967295u, 2147483648u})
            view.Append(v);
        QVERIFY(view.Pending());
        QVERIFY(view.VisibleLines().isEmpty());
        view.Flush();
        QVERIFY(!view.Pending());
        QCOMPARE(view.Text(), QString("1 0 -1 -2147483648 "));
        QCOMPARE(view.Values(), uint64_t{4});
        view.Clear();
        QCOMPARE(view.Text(), QString());
        QCOMPARE(view.Values(), uint64_t{0});
        QVERIFY(view.VisibleLines().isEmpty());
    }

    void wrapsInPiecesFollowsTheEndAndCopiesWithoutBreaks() {
        TOutputView view;
        Show(view, 200);
        Fill(view, 0, 300);
        view.Flush(); // shown in two pieces, as a run shows it
        Fill(view, 300, 500);
        view.Flush();
        QCOMPARE(view.Text(), Expected(500));
        QVERIFY(view.AtEnd());
        CheckWrapped(view, Expected(500));

        view.selectAll();
        view.copy();
        QCOMPARE(QApplication::clipboard()->text(), Expected(500));
        QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        QVERIFY(!view.AtEnd());
        QVERIFY(Expected(500).startsWith(view.VisibleLines().join(QString())));
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), Expected(500));

        view.resize(420, 150);
        QVERIFY(QTest::qWaitFor([&] { return view.viewport()->width() > 300; }, 2000));
        CheckWrapped(view, Expected(500));
        QCOMPARE(view.Text(), Expected(500));
    }

    // Line by line up from the end and down again gives the same screen; a
    // drag over two lines selects the text between without a line break.
    void scrollsByLinesAndSelectsAcrossThem() {
        TOutputView view;
        Show(view, 200);
        Fill(view, 0, 500);
        view.Flush();
        const QStringList atEnd = view.VisibleLines();
        view.ScrollLines(-7);
        QVERIFY(!view.AtEnd());
        CheckWrapped(view, Expected(500));
        const QStringList up = view.VisibleLines();
        view.ScrollLines(-1);
        view.ScrollLines(1);
        QCOMPARE(view.VisibleLines(), up);
        view.ScrollLines(7);
        QCOMPARE(view.VisibleLines(), atEnd);
        QVERIFY(view.AtEnd());

        view.ScrollLines(-7);
        const QStringList lines = view.VisibleLines();
        const int row = view.fontMetrics().lineSpacing();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(4, row / 2));
        QTest::mouseMove(view.viewport(), QPoint(view.viewport()->width() - 2, row + row / 2));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {},
                            QPoint(view.viewport()->width() - 2, row + row / 2));
        QCOMPARE(view.SelectedText(), lines[0] + lines[1]);
    }

    // A triple click selects the screen line under the pointer, as text views
    // do; Ctrl+C without a selection leaves the clipboard alone.
    void tripleClickSelectsTheLineAndAnEmptyCopyKeepsTheClipboard() {
        TOutputView view;
        Show(view, 200);
        Fill(view, 0, 500);
        view.Flush();
        view.ScrollLines(-7);
        const QStringList lines = view.VisibleLines();
        const QPoint second(12, view.fontMetrics().lineSpacing() * 3 / 2);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, second);
        QVERIFY(lines[1].startsWith(view.SelectedText() + ' '));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, second);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(view.SelectedText(), lines[1]);

        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(view.SelectedText(), QString());
        QApplication::clipboard()->setText("kept");
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
    }

    // A resize or a new font wraps the screen lines only, with 200,000 values.
    void relayoutCostsTheVisibleLinesOnly() {
        TOutputView view;
        Show(view, 274);
        Fill(view, 0, 200000);
        view.Flush();
        const qsizetype shownChars = view.VisibleLines().join(QString()).size();
        view.ResetMeasuredCharacters();
        for (int width : {300, 280, 420, 200, 274}) {
            view.resize(width, 150);
            QApplication::processEvents();
        }
        QFont font = view.font();
        font.setPointSize(font.pointSize() + 3);
        view.setFont(font);
        QApplication::processEvents();
        // Each relayout measures a few screens' worth around the top, whatever
        // the length of the output (1.4 million characters here).
        QVERIFY2(view.MeasuredCharacters() < static_cast<std::size_t>(shownChars) * 200,
                 qPrintable(QString::number(view.MeasuredCharacters())));
        QVERIFY(view.MeasuredCharacters() < view.Size() / 10);
        CheckWrapped(view, view.Text());
        view.ScrollLines(-1000);
        CheckWrapped(view, view.Text());
    }
};

QTEST_MAIN(OutputViewTest)
#include "output_test.moc"
