#include "gui/captionfit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
// The title bar's icon, its three buttons and the frame around them: what
// common window managers take besides the text.
constexpr int DecorationWidth = 132;
} // namespace

int CaptionWidth(const QWidget& window, const QString& caption) {
    QFont font = QApplication::font();
    font.setBold(true);
    const int wanted = QFontMetrics(font).horizontalAdvance(caption) + DecorationWidth;
    const QScreen* screen = window.screen() ? window.screen() : QApplication::primaryScreen();
    return screen ? std::min(wanted, screen->availableGeometry().width()) : wanted;
}

void FitCaption(QWidget& window) {
    const int width = CaptionWidth(window, window.windowTitle());
    if (window.width() < width) window.resize(width, window.height());
}
