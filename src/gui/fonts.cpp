#include "gui/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>
#include <cmath>

namespace {
constexpr qreal ProgramPoints = 9;
constexpr qreal DesignedPixels = 12;
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

qreal FontGrowth(const QFont& font) {
    return std::max<qreal>(1, QFontInfo(font).pixelSize() / DesignedPixels);
}

int Grown(int designed, const QFont& font) {
    return int(std::lround(designed * FontGrowth(font)));
}

QSize Grown(QSize designed, const QFont& font) {
    return {Grown(designed.width(), font), Grown(designed.height(), font)};
}
