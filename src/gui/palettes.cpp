#include "gui/palettes.h"

#include "gui/colours.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace {

// Fusion draws the frame of a check box or radio button a shade darker than
// the window colour, which on a dark base is next to invisible: an unmarked
// breakpoint line would show no box at all. This style hands Fusion, for
// those frames alone, a window colour whose darker shade stands out from the
// base like any other mark.
class TDarkStyle final : public QProxyStyle {
public:
    TDarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (button && (element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton)) {
            QStyleOptionButton framed(*button);
            framed.palette.setColor(QPalette::Window, CheckFrameSource(button->palette));
            QProxyStyle::drawPrimitive(element, &framed, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

struct TSwitch {
    bool On = false;
    QString Style; // the style's name before the switch
    QPalette Palette;
};

TSwitch& State() {
    static TSwitch state;
    return state;
}

// A style of the application that has no name (one of its own) cannot be
// made again: Fusion stands in for it.
void UseStyle(const QString& name) {
    if (name.isEmpty()) {
        QApplication::setStyle(QStringLiteral("fusion"));
        return;
    }
    if (QApplication::style()->name().compare(name, Qt::CaseInsensitive) == 0) return;
    QApplication::setStyle(name);
}

} // namespace

QPalette DarkPalette() {
    const QColor window(0x35, 0x35, 0x38);
    const QColor base(0x24, 0x24, 0x26);
    const QColor text(0xe6, 0xe6, 0xe6);
    const QColor disabledText(0x9a, 0x9a, 0x9a);
    const QColor highlight(0x3a, 0x72, 0xbd);

    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, QColor(0x2e, 0x2e, 0x31));
    palette.setColor(QPalette::ToolTipBase, QColor(0x45, 0x45, 0x48));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x48, 0x48, 0x4d));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    // The bevels: lighter towards the light, darker towards the shadow.
    palette.setColor(QPalette::Light, QColor(0x55, 0x55, 0x59));
    palette.setColor(QPalette::Midlight, QColor(0x45, 0x45, 0x49));
    palette.setColor(QPalette::Mid, QColor(0x2a, 0x2a, 0x2c));
    palette.setColor(QPalette::Dark, QColor(0x1e, 0x1e, 0x20));
    palette.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x10));
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x7c, 0xb8, 0xff));
    palette.setColor(QPalette::LinkVisited, QColor(0xc0, 0xa0, 0xff));

    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x54));
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    palette.setColor(QPalette::Disabled, QPalette::Light, window);
    return palette;
}

// Fusion's frame is this colour darker by 140 %, then lighter by 110 %: on a
// light base that last step takes some of the contrast away again, so the
// frame asked for is a little stronger until what is drawn holds the mark's.
QColor CheckFrameSource(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor mixed = Mix(palette.color(QPalette::Text), base, 0.45);
    QColor source;
    for (double wanted = kMarkContrast; wanted < 21; wanted += 0.1) {
        source = WithContrast(mixed, {base}, wanted).lighter(140);
        if (ContrastRatio(source.darker(140).lighter(110), base) >= kMarkContrast) break;
    }
    return source;
}

bool DarkPaletteOn() {
    return State().On;
}

void SetDarkPalette(bool on) {
    TSwitch& state = State();
    if (on == state.On) return;
    if (on) {
        state.Style = QApplication::style()->name();
        // With no palette of its own set, the copy has nothing resolved and
        // so gives back the desktop's palette when set again.
        state.Palette = QGuiApplication::palette();
        QApplication::setStyle(new TDarkStyle);
        QApplication::setPalette(DarkPalette());
    } else {
        UseStyle(state.Style);
        QApplication::setPalette(state.Palette);
    }
    state.On = on;
}
