// The zoom's ladder and bounds, its signal, the fonts it makes, how designed
// sizes grow with a font, and the helpers that tie a widget to the zoom:
// fonts that follow it and the application's font, the keys and the wheel.
#include "gui/barparts.h"
#include "gui/fonts.h"
#include "gui/zoom.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>

class ZoomUnitTest : public QObject {
    Q_OBJECT

    static void Wheel(QWidget* viewport, int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(5, 5);
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    }

private Q_SLOTS:
    void init() { Zoom().Reset(); }

    // Every step is about 10%, up and down retrace the same ladder through
    // 100, and the bounds are reached and held.
    void ladderStepsAboutTenPercentWithinTheBounds() {
        QList<int> up{100};
        while (up.last() < TZoom::MaxPercent)
            up << TZoom::StepUp(up.last());
        QCOMPARE(up.mid(0, 4), (QList<int>{100, 110, 121, 133}));
        QList<int> down{100};
        while (down.last() > TZoom::MinPercent)
            down << TZoom::StepDown(down.last());
        QCOMPARE(down.mid(0, 4), (QList<int>{100, 91, 83, 75}));
        QList<int> ladder = down;
        std::reverse(ladder.begin(), ladder.end());
        ladder += up.mid(1);
        for (int i = 1; i < ladder.size(); ++i) {
            const qreal ratio = qreal(ladder[i]) / ladder[i - 1];
            QVERIFY2(ratio >= 1.04 && ratio <= 1.13, qPrintable(QString::number(ladder[i])));
            QCOMPARE(TZoom::StepDown(ladder[i]), ladder[i - 1]);
            QCOMPARE(TZoom::StepUp(ladder[i - 1]), ladder[i]);
        }
        QCOMPARE(TZoom::StepUp(TZoom::MaxPercent), TZoom::MaxPercent);
        QCOMPARE(TZoom::StepDown(TZoom::MinPercent), TZoom::MinPercent);
        // A percent between steps goes to the neighbouring step, not past it.
        QCOMPARE(TZoom::StepUp(105), 110);
        QCOMPARE(TZoom::StepDown(105), 100);
    }

    void changedOnlyOnAChange() {
        QSignalSpy changed(&Zoom(), &TZoom::Changed);
        Zoom().ZoomIn();
        Zoom().ZoomOut();
        Zoom().Reset(); // already 100
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed[0][0].toInt(), 110);
        Zoom().SetPercent(1000);
        QCOMPARE(Zoom().Percent(), TZoom::MaxPercent);
        Zoom().ZoomIn();
        Zoom().SetPercent(0);
        QCOMPARE(Zoom().Percent(), TZoom::MinPercent);
        Zoom().ZoomOut();
        QCOMPARE(changed.size(), 4);
    }

    // Fonts in points, which follow the screen's scale; a font given in
    // pixels is scaled in points all the same.
    void fontsAreInPointsAtTheZoom() {
        const QFont program = ProgramFont(200);
        QCOMPARE(program.pointSizeF(), 18.0);
        QCOMPARE(program.pixelSize(), -1);
        QVERIFY(QFontInfo(program).fixedPitch());
        QCOMPARE(FormFont(150).pointSizeF(), QApplication::font().pointSizeF() * 1.5);
        QFont pixels = QApplication::font();
        pixels.setPixelSize(24);
        const QFont scaled = ScaledFont(pixels, 0.5);
        QCOMPARE(scaled.pixelSize(), -1);
        QCOMPARE(QFontInfo(scaled).pixelSize(), 12);
    }

    // Designed sizes hold at the designed 12-pixel font and at a smaller
    // one, and grow in proportion with a bigger one.
    void designedSizesGrowWithABiggerFontOnly() {
        QCOMPARE(QFontInfo(ProgramFont()).pixelSize(), 12);
        QCOMPARE(Grown(19, ProgramFont()), 19);
        QCOMPARE(Grown(19, ProgramFont(50)), 19);
        QCOMPARE(Grown(19, ProgramFont(200)), 38);
        QCOMPARE(Grown(320, ProgramFont(110)), 352); // not by the font's whole pixels
        QCOMPARE(Grown(QSize(365, 173), ProgramFont(150)), QSize(548, 260));
    }

    // A status panel grows with its font, but no wider than half the screen,
    // so that two of them side by side fit on it.
    void statusPanelsGrowToHalfTheScreen() {
        QStatusBar bar;
        // Whole at the designed size, past half of any screen the tests see
        // at the biggest zoom.
        const QString widest(40, u'8');
        QLabel* panel = AddPanel(&bar, 100, widest);
        const int designed = panel->width();
        const int half = bar.screen()->availableGeometry().width() / 2;
        QVERIFY(designed < half);
        bar.setFont(ProgramFont(TZoom::MaxPercent));
        QCOMPARE(panel->width(), half);
        QVERIFY(panel->fontMetrics().horizontalAdvance(widest) > half); // cut
        bar.setFont(QApplication::font());
        QCOMPARE(panel->width(), designed);
    }

    // A window grows with its font only as far as its screen has room, in
    // each direction on its own; a size the user gave it stays.
    void windowsGrowNoBiggerThanTheScreen() {
        QWidget window;
        const QSize room = window.screen()->availableGeometry().size();
        QCOMPARE(ScreenRoom(window), room); // no frame yet
        window.setFont(ProgramFont(400));
        GrowWindow(window, {room.width() / 8, room.height() / 2});
        QCOMPARE(window.size(), QSize(room.width() / 2, room.height()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QSize user = room + QSize(10, 10);
        window.resize(user);
        GrowWindow(window, {room.width() / 8, room.height() / 2});
        QCOMPARE(window.size(), user);
    }

    // A widget tied to the zoom takes its font at every change of the zoom,
    // and of the application's font, which reaches the windows later.
    void followedFontsTrackZoomAndApplicationFont() {
        QWidget window;
        auto* text = new QPlainTextEdit(&window);
        auto* form = new QWidget(&window);
        FollowZoom(text, ProgramFont);
        FollowZoom(form, FormFont);
        QCOMPARE(text->font(), ProgramFont());
        Zoom().ZoomIn();
        QCOMPARE(text->font(), ProgramFont(110));
        QCOMPARE(form->font(), FormFont(110));
        const QFont normal = QApplication::font();
        QFont larger = normal;
        larger.setPointSizeF(14);
        QApplication::setFont(larger);
        QTRY_COMPARE(form->font().pointSizeF(), 14 * 1.1);
        QCOMPARE(text->font(), ProgramFont(110)); // the desktop's fixed font is its own
        QApplication::setFont(normal);
        QTRY_COMPARE(form->font(), FormFont(110));
    }

    // The keys are the window's own, so that they act in a modal window too,
    // and the text edit neither eats nor types them.
    void keysActInTheirWindow() {
        QWidget window;
        auto* text = new QPlainTextEdit(&window);
        new QVBoxLayout(&window);
        window.layout()->addWidget(text);
        const TZoomActions actions = InstallZoomKeys(&window);
        QVERIFY(actions.In && actions.Out && actions.Reset);
        window.show();
        window.activateWindow(); // no window manager does it under a bare X server
        QVERIFY(QTest::qWaitForWindowActive(&window));
        text->setFocus();
        struct TKey {
            Qt::Key Key;
            Qt::KeyboardModifiers Modifiers;
            int Percent;
        };
        const Qt::KeyboardModifiers pad = Qt::ControlModifier | Qt::KeypadModifier;
        for (const TKey& key :
             {TKey{Qt::Key_Equal, Qt::ControlModifier, 110},
              TKey{Qt::Key_Plus, Qt::ControlModifier, 121}, TKey{Qt::Key_Plus, pad, 133},
              TKey{Qt::Key_Minus, pad, 121}, TKey{Qt::Key_Minus, Qt::ControlModifier, 110},
              TKey{Qt::Key_0, Qt::ControlModifier, 100},
              TKey{Qt::Key_Minus, Qt::ControlModifier, 91}, TKey{Qt::Key_0, pad, 100}}) {
            QTest::keyClick(text, key.Key, key.Modifiers);
            QCOMPARE(Zoom().Percent(), key.Percent);
        }
        QVERIFY(text->toPlainText().isEmpty());
    }

    // One step per notch: a high-resolution wheel's small turns add up, and
    // a plain wheel scrolls as ever.
    void ctrlWheelStepsPerNotch() {
        QPlainTextEdit text;
        text.setReadOnly(true); // a read-only text would zoom its own font
        text.setPlainText(QString("line\n").repeated(200));
        text.resize(200, 100);
        ZoomByWheel(&text);
        const QFont own = text.font();
        Wheel(text.viewport(), 40, Qt::ControlModifier);
        Wheel(text.viewport(), 40, Qt::ControlModifier);
        QCOMPARE(Zoom().Percent(), 100);
        Wheel(text.viewport(), 40, Qt::ControlModifier);
        QCOMPARE(Zoom().Percent(), 110);
        Wheel(text.viewport(), -360, Qt::ControlModifier);
        QCOMPARE(Zoom().Percent(), 83);
        QCOMPARE(text.font(), own);
        Wheel(text.viewport(), -120, Qt::NoModifier);
        QCOMPARE(Zoom().Percent(), 83);
        QVERIFY(text.verticalScrollBar()->value() > 0);
    }
};

QTEST_MAIN(ZoomUnitTest)
#include "zoom_test.moc"
