#include "modaldriver.h"

#include "windows/run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>

TModalDriver::TModalDriver(int timeoutMs) {
    poll_.setInterval(10);
    connect(&poll_, &QTimer::timeout, this, &TModalDriver::Poll);
    poll_.start();
    watchdog_.setSingleShot(true);
    watchdog_.setInterval(timeoutMs);
    connect(&watchdog_, &QTimer::timeout, this, &TModalDriver::Rescue);
    watchdog_.start();
}

TModalDriver::~TModalDriver() = default;

TModalDriver& TModalDriver::Then(const QString& objectName, TAction action, TReady ready) {
    steps_.push_back({objectName, std::move(action), std::move(ready)});
    return *this;
}

QString TModalDriver::Report() const {
    return failed_ ? "stuck waiting for " + stuckAt_ + " (active: " + ActiveModalName() + ")"
                   : QString();
}

TModalDriver::TReady HasActivation(const QWidget* window) {
    return [window] { return QApplication::activeWindow() == window; };
}

void PressOnlyButton(QWidget* box) {
    const QList<QAbstractButton*> buttons = box->findChildren<QAbstractButton*>();
    if (buttons.size() == 1) buttons.front()->click();
}

QString ActiveModalName() {
    QWidget* w = QApplication::activeModalWidget();
    return w ? w->objectName() : QString();
}

void TModalDriver::Poll() {
    if (steps_.empty() || failed_) return;
    QWidget* active = QApplication::activeModalWidget();
    if (!active || !active->isVisible()) return;
    if (steps_.front().Name != Any && active->objectName() != steps_.front().Name) return;
    if (steps_.front().Ready && !steps_.front().Ready()) return;
    TAction action = std::move(steps_.front().Action);
    steps_.pop_front();
    QPointer<QWidget> target(active);
    QTimer::singleShot(0, active, [action, target] {
        if (target) action(target);
    });
}

// Stops any run and closes modal windows until none is left open.
void TModalDriver::Rescue() {
    failed_ = true;
    stuckAt_ = steps_.empty() ? QString("(nothing)") : steps_.front().Name;
    steps_.clear();
    auto* rescue = new QTimer(this);
    rescue->setInterval(10);
    connect(rescue, &QTimer::timeout, this, [rescue] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            rescue->stop();
            return;
        }
        if (auto* run = qobject_cast<TfRun*>(w)) {
            run->Prog->Move(corvane::TMove::mvStop);
            if (!run->mClose->isEnabled()) return; // the run is still winding down
        }
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->done(2);
        else
            w->close();
    });
    rescue->start();
}

TErrorRecorder::TErrorRecorder() : previous_(SetDialogs(this)) {}

TErrorRecorder::~TErrorRecorder() {
    SetDialogs(previous_);
}

void TErrorRecorder::Error(QWidget*, const QString&, const QString& text) {
    Errors << text;
    if (OnError) OnError(text);
}
