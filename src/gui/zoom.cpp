#include "gui/zoom.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// 100 * 1.1^k for k = -8 .. 15, rounded and clamped to the bounds: 50 (from
// 47), 51 (dropped: too close to 50), 56, 62, 68, 75, 83, 91, 100, 110, 121,
// ..., 345, 380, 400 (from 418).
const std::vector<int>& Ladder() {
    static const std::vector<int> ladder = [] {
        std::vector<int> steps;
        for (int k = -8; k <= 15; ++k) {
            const int step = std::clamp(int(std::lround(100 * std::pow(1.1, k))), TZoom::MinPercent,
                                        TZoom::MaxPercent);
            if (steps.empty() || step - steps.back() >= 3)
                steps.push_back(step);
            else if (step == TZoom::MaxPercent)
                steps.back() = step;
        }
        return steps;
    }();
    return ladder;
}

// Applies the font again on every change of the zoom or of the application's
// font; lives as the widget's child. A new application font is announced to
// the top-level windows alone, so the widget's window is watched.
class TZoomFollower final : public QObject {
public:
    TZoomFollower(QWidget* widget, std::function<QFont(int)> font)
        : QObject(widget), widget_(widget), window_(widget->window()), font_(std::move(font)) {
        window_->installEventFilter(this);
        connect(&Zoom(), &TZoom::Changed, this, [this](int) { Apply(); });
        Apply();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::ApplicationFontChange) Apply();
        return false;
    }

private:
    void Apply() { widget_->setFont(font_(Zoom().Percent())); }

    QWidget* widget_;
    QWidget* window_; // an ancestor (or the widget): outlives this child of the widget
    std::function<QFont(int)> font_;
};

class TWheelZoom final : public QObject {
public:
    explicit TWheelZoom(QWidget* viewport) : QObject(viewport) {
        viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
        turned_ += wheel->angleDelta().y();
        for (; turned_ >= Notch; turned_ -= Notch)
            Zoom().ZoomIn();
        for (; turned_ <= -Notch; turned_ += Notch)
            Zoom().ZoomOut();
        return true;
    }

private:
    static constexpr int Notch = QWheelEvent::DefaultDeltasPerStep;
    int turned_ = 0;
};

QAction* AddZoomAction(QWidget* window, const char* name, const QList<QKeySequence>& keys,
                       void (TZoom::*command)()) {
    auto* action = new QAction(window);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &Zoom(), command);
    window->addAction(action);
    return action;
}

} // namespace

TZoom& TZoom::Instance() {
    static TZoom* zoom = nullptr;
    if (!zoom) {
        zoom = new TZoom(QCoreApplication::instance());
        QObject::connect(zoom, &QObject::destroyed, [] { zoom = nullptr; });
    }
    return *zoom;
}

int TZoom::StepUp(int percent) {
    const std::vector<int>& ladder = Ladder();
    const auto next = std::upper_bound(ladder.begin(), ladder.end(), percent);
    return next == ladder.end() ? MaxPercent : *next;
}

int TZoom::StepDown(int percent) {
    const std::vector<int>& ladder = Ladder();
    const auto next = std::lower_bound(ladder.begin(), ladder.end(), percent);
    return next == ladder.begin() ? MinPercent : *(next - 1);
}

void TZoom::ZoomIn() {
    SetPercent(StepUp(percent_));
}

void TZoom::ZoomOut() {
    SetPercent(StepDown(percent_));
}

void TZoom::Reset() {
    SetPercent(100);
}

void TZoom::SetPercent(int percent) {
    percent = std::clamp(percent, MinPercent, MaxPercent);
    if (percent == percent_) return;
    percent_ = percent;
    Q_EMIT Changed(percent_);
}

void FollowZoom(QWidget* widget, std::function<QFont(int percent)> font) {
    new TZoomFollower(widget, std::move(font));
}

TZoomActions InstallZoomKeys(QWidget* window) {
    const auto keys = [](Qt::Key key) {
        return QList<QKeySequence>{
            QKeySequence(QKeyCombination(Qt::ControlModifier, key)),
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, key))};
    };
    QList<QKeySequence> in = keys(Qt::Key_Plus);
    in.prepend(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Equal)));
    return {AddZoomAction(window, "mZoomIn", in, &TZoom::ZoomIn),
            AddZoomAction(window, "mZoomOut", keys(Qt::Key_Minus), &TZoom::ZoomOut),
            AddZoomAction(window, "mZoomReset", keys(Qt::Key_0), &TZoom::Reset)};
}

void ZoomByWheel(QAbstractScrollArea* area) {
    new TWheelZoom(area->viewport());
}
