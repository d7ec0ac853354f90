// The colours the program draws, measured: the contrast formula itself, every
// highlight and mark colour against what it stands on in the light and the
// dark palette (and in palettes a desktop might bring), the dark palette's own
// pairs, the switch to it and back, and the icon's pixels at twice the density.
#include "gui/application.h"
#include "gui/colours.h"
#include "gui/palettes.h"

#include <QApplication>
#include <QCheckBox>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QPalette)

namespace {

QPalette FusionLight() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// Only the two roles an odd desktop theme might set; the rest as Qt fills it.
QPalette Themed(QColor base, QColor text, QColor window, QColor windowText, QColor highlight) {
    QPalette palette = FusionLight();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, windowText);
    palette.setColor(QPalette::Highlight, highlight);
    return palette;
}

QString Describe(const char* what, const QColor& a, const QColor& b) {
    return QStringLiteral("%1: %2 on %3 is %4:1")
        .arg(QLatin1String(what), a.name(), b.name())
        .arg(ContrastRatio(a, b), 0, 'f', 2);
}

#define VERIFY_CONTRAST(what, a, b, ratio)                                                         \
    QVERIFY2(ContrastRatio((a), (b)) >= (ratio), qPrintable(Describe((what), (a), (b))))

bool SameColours(const QPalette& a, const QPalette& b) {
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            if (a.color(g, r) != b.color(g, r)) return false;
        }
    return true;
}

} // namespace

class TPalettesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void contrastFollowsTheDefinition();
    void withContrastReachesTheRatioKeepingTheHue();
    void marksAreReadable_data();
    void marksAreReadable();
    void darkPaletteIsReadable();
    void switchGoesToDarkAndBack();
    void switchRestoresAPaletteTheProgramSet();
    void checkBoxFrameShowsOnTheDarkBase();
    void iconHasPixelsForTwiceTheDensity();
};

// Reference values: black on white, the lightest grey that passes as text on
// white (#767676, 4.54:1) and the darkest that fails (#777777, 4.48:1).
void TPalettesTest::contrastFollowsTheDefinition() {
    QCOMPARE(RelativeLuminance(Qt::white), 1.0);
    QCOMPARE(RelativeLuminance(Qt::black), 0.0);
    QCOMPARE(qRound(RelativeLuminance(QColor(0, 255, 0)) * 10000), 7152);
    QCOMPARE(ContrastRatio(Qt::black, Qt::white), 21.0);
    QCOMPARE(ContrastRatio(Qt::white, Qt::black), 21.0);
    QCOMPARE(ContrastRatio(QColor(0x12, 0x34, 0x56), QColor(0x12, 0x34, 0x56)), 1.0);
    QCOMPARE(qRound(ContrastRatio(QColor(0x76, 0x76, 0x76), Qt::white) * 100), 454);
    QCOMPARE(qRound(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white) * 100), 448);
    // Alpha plays no part: a colour is measured as drawn opaque.
    QCOMPARE(ContrastRatio(QColor(0, 0, 0, 10), Qt::white), 21.0);
}

void TPalettesTest::withContrastReachesTheRatioKeepingTheHue() {
    const QColor white(Qt::white), black(Qt::black);
    // Enough already: unchanged.
    QCOMPARE(WithContrast(QColor(0, 0, 128), {white}, kTextContrast), QColor(0, 0, 128));
    // Light yellow on white goes darker, on black stays.
    const QColor yellow = QColor::fromHsl(60, 255, 200);
    const QColor onWhite = WithContrast(yellow, {white}, kTextContrast);
    VERIFY_CONTRAST("yellow on white", onWhite, white, kTextContrast);
    QCOMPARE(onWhite.hslHue(), 60);
    QVERIFY(onWhite.lightness() < yellow.lightness());
    // The nearest lightness that is enough: one level lighter is not.
    QColor lighter = onWhite.toHsl();
    lighter.setHsl(60, lighter.hslSaturation(), lighter.lightness() + 2);
    QVERIFY(ContrastRatio(lighter, white) < kTextContrast);
    QCOMPARE(WithContrast(yellow, {black}, kTextContrast), yellow);
    // Dark blue on a dark grey goes lighter, against both backgrounds.
    const QColor grey1(40, 40, 40), grey2(60, 60, 70);
    const QColor blue = WithContrast(QColor(0, 0, 140), {grey1, grey2}, kTextContrast);
    VERIFY_CONTRAST("blue on grey", blue, grey1, kTextContrast);
    VERIFY_CONTRAST("blue on second grey", blue, grey2, kTextContrast);
    QCOMPARE(blue.hslHue(), 240);
    // A grey has no hue and stays grey.
    const QColor grey = WithContrast(QColor(128, 128, 128), {white}, kTextContrast);
    QCOMPARE(grey.red(), grey.blue());
    VERIFY_CONTRAST("grey on white", grey, white, kTextContrast);
    // The mid grey, where black and white are nearly alike: black wins.
    VERIFY_CONTRAST("red on mid grey",
                    WithContrast(QColor(Qt::red), {QColor(0x77, 0x77, 0x77)}, kTextContrast),
                    QColor(0x77, 0x77, 0x77), kTextContrast);
}

void TPalettesTest::marksAreReadable_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("dark");
    QTest::newRow("fusion light") << FusionLight() << false;
    QTest::newRow("dark") << DarkPalette() << true;
    QTest::newRow("black and white")
        << Themed(Qt::white, Qt::black, Qt::white, Qt::black, QColor(0, 120, 215)) << false;
    QTest::newRow("high contrast dark")
        << Themed(Qt::black, Qt::white, Qt::black, Qt::white, QColor(0x1a, 0xeb, 0xff)) << true;
    QTest::newRow("greyish dark") << Themed(QColor(0x45, 0x45, 0x45), QColor(0xdd, 0xdd, 0xdd),
                                            QColor(0x3b, 0x3b, 0x3b), QColor(0xdd, 0xdd, 0xdd),
                                            QColor(0x88, 0x60, 0xc0))
                                  << true;
    QTest::newRow("cream") << Themed(QColor(0xfd, 0xf6, 0xe3), QColor(0x58, 0x6e, 0x75),
                                     QColor(0xee, 0xe8, 0xd5), QColor(0x58, 0x6e, 0x75),
                                     QColor(0xb5, 0x89, 0x00))
                           << false;
}

void TPalettesTest::marksAreReadable() {
    QFETCH(QPalette, palette);
    QFETCH(bool, dark);
    QCOMPARE(IsDark(palette), dark);
    const QColor base = palette.color(QPalette::Base);
    const QColor window = palette.color(QPalette::Window);
    // Error text and marks: the breakpoint dots stand on the margin (window).
    VERIFY_CONTRAST("error on base", ErrorColour(palette), base, kTextContrast);
    VERIFY_CONTRAST("breakpoint dot on margin", ErrorColour(palette), window, kMarkContrast);
    VERIFY_CONTRAST("error line number", ErrorLineText(palette), ErrorLineBand(palette),
                    kTextContrast);
    QVERIFY2(ErrorLineBand(palette) != window, "the error's line has no mark");
    VERIFY_CONTRAST("pass", PassColour(palette), base, kTextContrast);
    VERIFY_CONTRAST("fail", FailColour(palette), base, kTextContrast);
    QVERIFY(PassColour(palette) != FailColour(palette));
    VERIFY_CONTRAST("text on paused line", palette.color(QPalette::Text), PausedLineBand(palette),
                    kTextContrast);
    QVERIFY2(PausedLineBand(palette) != base, "the paused line has no band");
    VERIFY_CONTRAST("changed value", ChangedText(palette), ChangedBackground(palette),
                    kTextContrast);
    VERIFY_CONTRAST("line numbers", SubduedText(palette, QPalette::Window), window, kTextContrast);
    VERIFY_CONTRAST("values read", SubduedText(palette), base, kTextContrast);
    // Subdued text is quieter than the text itself.
    QVERIFY(ContrastRatio(SubduedText(palette), base) <
            ContrastRatio(palette.color(QPalette::Text), base));
}

// The program's own palette: every pair that is drawn one on the other.
void TPalettesTest::darkPaletteIsReadable() {
    const QPalette dark = DarkPalette();
    QVERIFY(IsDark(dark));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const auto c = [&](QPalette::ColorRole role) { return dark.color(group, role); };
        VERIFY_CONTRAST("text", c(QPalette::Text), c(QPalette::Base), kTextContrast);
        VERIFY_CONTRAST("text on alternate", c(QPalette::Text), c(QPalette::AlternateBase),
                        kTextContrast);
        VERIFY_CONTRAST("window text", c(QPalette::WindowText), c(QPalette::Window), kTextContrast);
        VERIFY_CONTRAST("button text", c(QPalette::ButtonText), c(QPalette::Button), kTextContrast);
        VERIFY_CONTRAST("tooltip", c(QPalette::ToolTipText), c(QPalette::ToolTipBase),
                        kTextContrast);
        VERIFY_CONTRAST("selection", c(QPalette::HighlightedText), c(QPalette::Highlight),
                        kTextContrast);
        VERIFY_CONTRAST("link", c(QPalette::Link), c(QPalette::Base), kTextContrast);
        VERIFY_CONTRAST("visited link", c(QPalette::LinkVisited), c(QPalette::Base), kTextContrast);
        VERIFY_CONTRAST("placeholder", c(QPalette::PlaceholderText), c(QPalette::Base),
                        kTextContrast);
        VERIFY_CONTRAST("selection on base", c(QPalette::Highlight), c(QPalette::Base),
                        kMarkContrast);
    }
    VERIFY_CONTRAST("disabled text", dark.color(QPalette::Disabled, QPalette::WindowText),
                    dark.color(QPalette::Disabled, QPalette::Window), kMarkContrast);
    VERIFY_CONTRAST("disabled button", dark.color(QPalette::Disabled, QPalette::ButtonText),
                    dark.color(QPalette::Disabled, QPalette::Button), kMarkContrast);
    // Disabled text must look disabled.
    QVERIFY(ContrastRatio(dark.color(QPalette::Disabled, QPalette::WindowText),
                          dark.color(QPalette::Window)) <
            ContrastRatio(dark.color(QPalette::WindowText), dark.color(QPalette::Window)));
    // The changed-value highlight stands out from the base as a mark.
    VERIFY_CONTRAST("changed value on base", ChangedBackground(dark), dark.color(QPalette::Base),
                    kMarkContrast);
}

void TPalettesTest::switchGoesToDarkAndBack() {
    const QPalette before = QGuiApplication::palette();
    const QString style = QApplication::style()->name();
    QVERIFY(!DarkPaletteOn());
    SetDarkPalette(true);
    QVERIFY(DarkPaletteOn());
    QVERIFY(SameColours(QGuiApplication::palette(), DarkPalette()));
    const auto* dark = qobject_cast<QProxyStyle*>(QApplication::style());
    QVERIFY(dark);
    QCOMPARE(dark->baseStyle()->name(), QStringLiteral("fusion"));
    SetDarkPalette(true); // already on: the palette before it stays remembered
    SetDarkPalette(false);
    QVERIFY(!DarkPaletteOn());
    QVERIFY(SameColours(QGuiApplication::palette(), before));
    QCOMPARE(QApplication::style()->name(), style);
    // The desktop's palette again, not one the program fixed.
    QCOMPARE(QGuiApplication::palette().resolveMask(), before.resolveMask());
    QCOMPARE(QCoreApplication::testAttribute(Qt::AA_SetPalette), before.resolveMask() != 0);
    SetDarkPalette(false);
    QVERIFY(SameColours(QGuiApplication::palette(), before));
}

void TPalettesTest::switchRestoresAPaletteTheProgramSet() {
    const QPalette original = QGuiApplication::palette();
    QPalette own = original;
    own.setColor(QPalette::Window, QColor(0xee, 0xdd, 0xcc));
    QApplication::setPalette(own);
    SetDarkPalette(true);
    QCOMPARE(QGuiApplication::palette().color(QPalette::Window),
             DarkPalette().color(QPalette::Window));
    SetDarkPalette(false);
    QCOMPARE(QGuiApplication::palette().color(QPalette::Window), QColor(0xee, 0xdd, 0xcc));
    QApplication::setPalette(QPalette());
}

// The break window's unmarked lines are empty check boxes: the box itself
// must show, as a mark, on the base it stands on.
void TPalettesTest::checkBoxFrameShowsOnTheDarkBase() {
    SetDarkPalette(true);
    QCheckBox box(QStringLiteral("line"));
    box.resize(box.sizeHint());
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    const QImage image = box.grab().toImage();
    const QColor base = box.palette().color(QPalette::Base);
    double strongest = 0;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y)
        for (int x = indicator.left(); x <= indicator.right(); ++x)
            strongest = std::max(strongest, ContrastRatio(image.pixelColor(x, y), base));
    SetDarkPalette(false);
    QVERIFY2(strongest >= kMarkContrast, qPrintable(QString::number(strongest)));
}

// A 32-pixel image at twice the density takes the 64-pixel file, not the
// 32-pixel one scaled up.
void TPalettesTest::iconHasPixelsForTwiceTheDensity() {
    const QIcon icon = AppIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
    const QPixmap sharp = icon.pixmap(QSize(32, 32), 2.0);
    QCOMPARE(sharp.size(), QSize(64, 64));
    QCOMPARE(sharp.devicePixelRatio(), 2.0);
    // Compared premultiplied: a transparent pixel's colour is nobody's business.
    const QImage pixels = sharp.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto difference = [&](const QString& file) {
        const QImage expected = QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        int most = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb a = pixels.pixel(x, y), b = expected.pixel(x, y);
                most = std::max({most, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                 std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            }
        return most;
    };
    QVERIFY(difference(QStringLiteral(":/icons/corvane-64.png")) <= 1);
}

QTEST_MAIN(TPalettesTest)
#include "palettes_test.moc"
