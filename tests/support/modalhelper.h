// Drives a modal window from inside its own event loop: `act` runs on the
// first modal widget that shows up while the driver lives (polled by a
// timer), typically checking it and closing it.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

class TModalDriver {
public:
    explicit TModalDriver(std::function<void(QWidget*)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    TModalDriver(const TModalDriver&) = delete;
    TModalDriver& operator=(const TModalDriver&) = delete;

    bool Ran() const { return ran_; }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer_.stop();
        ran_ = true;
        act_(modal);
    }

    std::function<void(QWidget*)> act_;
    QTimer timer_;
    bool ran_ = false;
};
