#include "gui/barparts.h"

#include "gui/fonts.h"
#include "gui/panelaccess.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>

namespace {

constexpr int PanelHeight = 16;

class TStatusPanel : public QLabel {
public:
    TStatusPanel(QWidget* parent, int width, QString widest, bool cut)
        : QLabel(parent), designed_(width), widest_(std::move(widest)), cut_(cut) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        FitSize();
        if (designed_ <= 0 && cut_) setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }

protected:
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) FitSize();
    }

    void paintEvent(QPaintEvent* event) override {
        if (!cut_ && fontMetrics().horizontalAdvance(text()) <= contentsRect().width()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        drawFrame(&painter);
        const int indent = frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 : 0;
        const QRect room = contentsRect().adjusted(indent, 0, -indent, 0);
        painter.drawText(room, int(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }

private:
    // The designed height and width grow with the font. QLabel's own size
    // hint for the widest text is what shows it uncut; the hint never falls
    // below the minimum width, so that goes first.
    void FitSize() {
        setFixedHeight(
            std::max(Grown(PanelHeight, font()), fontMetrics().height() + 2 * frameWidth()));
        if (designed_ <= 0) return;
        const QString shown = text();
        setMinimumWidth(0);
        setText(widest_);
        const int needed = sizeHint().width();
        setText(shown);
        // At a big zoom half the screen at most, so that two panels side by
        // side, and the window with them, stay on the screen; a longer text
        // is cut.
        const int bound = std::max(designed_, ScreenRoom(*window()).width() / 2);
        setFixedWidth(std::min(std::max(Grown(designed_, font()), needed), bound));
    }

    int designed_;
    QString widest_;
    bool cut_;
};

} // namespace

QAction* AddBarCommand(QMenuBar* bar, const char* name, const QString& caption,
                       const QKeySequence& shortcut) {
    QAction* action = bar->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

QLabel* AddPanel(QStatusBar* bar, int width, const QString& widest) {
    InstallPanelAccessible();
    auto* panel = new TStatusPanel(bar, width, widest, false);
    bar->addWidget(panel, width > 0 ? 0 : 1);
    return panel;
}

QLabel* AddCuttingPanel(QStatusBar* bar) {
    InstallPanelAccessible();
    auto* panel = new TStatusPanel(bar, 0, {}, true);
    bar->addWidget(panel, 1);
    return panel;
}
