#include "gui/fonts.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
constexpr qreal ProgramPoints = 9;
constexpr qreal DesignedPixels = 12;

// A hidden window that was shown before may lose a resize on its way to the
// platform; it grows again when it is shown next.
class TGrowOnShow final : public QObject {
public:
    TGrowOnShow(QWidget& window, QSize designed) : QObject(&window), designed_(designed) {
        setObjectName(QStringLiteral("GrowOnShow"));
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            window->removeEventFilter(this);
            deleteLater();
            setObjectName({});
            GrowWindow(*window, designed_);
        }
        return false;
    }

private:
    QSize designed_;
};
} // namespace

QFont ProgramFont(int zoomPercent) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(ProgramPoints * zoomPercent / 100.0);
    return font;
}

QFont FormFont(int zoomPercent) {
    return ScaledFont(QApplication::font(), zoomPercent / 100.0);
}

// A font given in pixels is turned into points at its own size, so that
// nothing is ever fixed in pixels, which do not follow the screen's scale.
QFont ScaledFont(const QFont& font, qreal factor) {
    QFont scaled = font;
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    scaled.setPointSizeF(std::max<qreal>(1, points * factor));
    return scaled;
}

// In fractions of a pixel where the font is given in points, so that a zoom
// of 110% grows the designed sizes by 10%, not by whole pixels of the font.
qreal FontGrowth(const QFont& font) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal pixels = font.pointSizeF() > 0 && screen
                             ? font.pointSizeF() * screen->logicalDotsPerInchY() / 72
                             : QFontInfo(font).pixelSize();
    return std::max<qreal>(1, pixels / DesignedPixels);
}

int Grown(int designed, const QFont& font) {
    return int(std::lround(designed * FontGrowth(font)));
}

QSize Grown(QSize designed, const QFont& font) {
    return {Grown(designed.width(), font), Grown(designed.height(), font)};
}

QSize ScreenRoom(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    const QSize frame = window.isWindow() && window.testAttribute(Qt::WA_WState_Created)
                            ? window.frameGeometry().size() - window.size()
                            : QSize(0, 0);
    return screen->availableGeometry().size() - frame;
}

void GrowWindow(QWidget& window, QSize designed) {
    // Qt's default size for a window nobody sized yet is no one's choice.
    QSize wanted = Grown(designed, window.font()).boundedTo(ScreenRoom(window));
    if (window.testAttribute(Qt::WA_Resized)) wanted = wanted.expandedTo(window.size());
    if (wanted != window.size()) window.resize(wanted);
    if (!window.isVisible() && window.testAttribute(Qt::WA_WState_Created) &&
        !window.findChild<QObject*>(QStringLiteral("GrowOnShow"), Qt::FindDirectChildrenOnly))
        new TGrowOnShow(window, designed);
}
