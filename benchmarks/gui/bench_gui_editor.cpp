// The program editor with a 100,000-line program: what loading and colouring
// it costs, what one keystroke costs, and the live check: its time on the
// GUI thread (the copy of the text), its time on the worker, and the longest
// the GUI thread's event loop waited meanwhile.
// Offscreen unless QT_QPA_PLATFORM says otherwise (xcb under Xvfb).
#include "windows/codeeditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <cstdio>

namespace {

// Every statement kind; the last line names a missing label, so the check
// parses and links the whole text before it finds the error.
QString Program(int lines) {
    QString text = QStringLiteral("STACK acc tmp\n");
    for (int i = 1; i < lines - 1; ++i) {
        switch (i % 5) {
        case 0: text += QStringLiteral(":l%1 SET %1 // step <BREAK>\n").arg(i); break;
        case 1: text += QStringLiteral("PUSH acc\n"); break;
        case 2: text += QStringLiteral("IF NOT EMPTY acc GOTO l%1 ELSE l%1\n").arg(i - 2); break;
        case 3: text += QStringLiteral("ADD -5\n"); break;
        default: text += QStringLiteral("INPUT l%1\n").arg(i - 4); break;
        }
    }
    return text + QStringLiteral("GOTO nowhere");
}

double Ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("Editor benchmarks (platform %s)\n", qPrintable(QApplication::platformName()));

    TCodeEditor editor;
    editor.resize(720, 500);
    editor.show();
    (void)QTest::qWaitForWindowExposed(&editor);
    const QString text = Program(100000);

    QElapsedTimer timer;
    {
        // For comparison: Qt's plain editor without gutter, colours or check.
        QPlainTextEdit plain;
        plain.resize(720, 500);
        plain.show();
        timer.start();
        plain.setPlainText(text);
        QApplication::processEvents();
        std::printf("load 100,000 lines into a bare QPlainTextEdit: %.1f ms\n", Ms(timer));
    }
    timer.start();
    editor.setPlainText(text);
    QApplication::processEvents();
    std::printf("load and colour 100,000 lines: %.1f ms\n", Ms(timer));

    // The check the load scheduled, measured on its own below.
    while (editor.CheckPending())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);

    for (int round = 0; round < 3; ++round) {
        double longestGap = 0;
        QElapsedTimer gap;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, Ms(gap));
            gap.restart();
        });
        timer.restart();
        editor.CheckNow();
        const double guiPart = Ms(timer);
        gap.start();
        ticker.start();
        while (editor.CheckPending())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        ticker.stop();
        std::printf("live check of 100,000 lines: %.1f ms in all, %.2f ms on the GUI thread, "
                    "longest event-loop wait %.1f ms; found \"%s\" on line %d\n",
                    Ms(timer), guiPart, longestGap, qPrintable(editor.LiveError().Message),
                    editor.LiveError().Line);
    }

    // One keystroke in the middle: the edit, its colouring and the repaint.
    QTextCursor cursor(editor.document()->findBlockByNumber(50000));
    editor.setTextCursor(cursor);
    editor.centerCursor();
    QApplication::processEvents();
    double worst = 0;
    for (int i = 0; i < 20; ++i) {
        timer.restart();
        QTest::keyClick(&editor, Qt::Key_X);
        editor.viewport()->repaint();
        worst = std::max(worst, Ms(timer));
    }
    std::printf("keystroke at line 50,000: worst of 20 %.2f ms\n", worst);
    return 0;
}
