// The run window's output view: the text stays values and blanks without
// line breaks however the view wraps it, copying gives that text, and a
// resize wraps it anew without changing it.
#include "windows/outputview.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QtTest>

class OutputViewTest : public QObject {
    Q_OBJECT

    static QString Expected(int count) {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QString::number(i * 7919 - 500000) + ' ';
        return text;
    }

    static void Fill(TOutputView& view, int count) {
        for (int i = 0; i < count; ++i)
            view.Append(static_cast<uint32_t>(i * 7919 - 500000));
    }

    // Every screen line fits the view and holds whole values.
    static void CheckWrapped(const TOutputView& view) {
        const QFontMetricsF metrics(view.font());
        const qreal avail = view.viewport()->width();
        for (QTextBlock b = view.document()->begin(); b.isValid(); b = b.next()) {
            QVERIFY(b.text().endsWith(' ') || b.text().isEmpty());
            QVERIFY(metrics.horizontalAdvance(b.text().trimmed()) <= avail);
        }
    }

private Q_SLOTS:
    void signedValuesAndBlanks() {
        TOutputView view;
        for (uint32_t v : {1u, 0u, 4294967295u, 2147483648u})
            view.Append(v);
        QVERIFY(view.Pending());
        QCOMPARE(view.document()->toPlainText(), QString());
        view.Flush();
        QVERIFY(!view.Pending());
        QCOMPARE(view.Text(), QString("1 0 -1 -2147483648 "));
        view.Clear();
        QCOMPARE(view.Text(), QString());
        QCOMPARE(view.document()->toPlainText(), QString());
    }

    void wrapsInPiecesAndCopiesWithoutBreaks() {
        TOutputView view;
        view.resize(200, 150);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        Fill(view, 300);
        view.Flush(); // shown in three pieces, as a run shows it
        Fill(view, 0);
        for (int i = 300; i < 500; ++i)
            view.Append(static_cast<uint32_t>(i * 7919 - 500000));
        view.Flush();
        QCOMPARE(view.Text(), Expected(500));
        QVERIFY(view.document()->blockCount() > 10);
        QCOMPARE(view.document()->toPlainText().remove('\n'), Expected(500));
        CheckWrapped(view);

        view.selectAll();
        view.copy();
        QCOMPARE(QApplication::clipboard()->text(), Expected(500));

        view.resize(420, 150);
        QVERIFY(QTest::qWaitFor([&] { return view.viewport()->width() > 300; }, 2000));
        CheckWrapped(view);
        QCOMPARE(view.document()->toPlainText().remove('\n'), Expected(500));
        QCOMPARE(view.Text(), Expected(500));
    }
};

QTEST_MAIN(OutputViewTest)
#include "output_test.moc"
