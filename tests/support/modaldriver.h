// Drives nested modal windows from a test.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

// A queue of steps, each waiting for the modal window of a given objectName
// to be the active modal widget (polled every 10 ms), then acting on it from
// an event of its own, so that an action which blocks in a further modal loop
// never stalls the driver. Arm it before the call that blocks.
//
// A watchdog ends a stuck test: after `timeoutMs` it stops the run and closes
// every modal window, and Failed() reports which step was still awaited.
class TModalDriver : public QObject {
public:
    using TAction = std::function<void(QWidget*)>;
    using TReady = std::function<bool()>;

    explicit TModalDriver(int timeoutMs = 5000);
    ~TModalDriver() override;

    // The step acts once `objectName` is the active modal widget and `ready`
    // (when given) holds.
    TModalDriver& Then(const QString& objectName, TAction action, TReady ready = {});
    bool Done() const { return steps_.empty() && !failed_; }
    bool Failed() const { return failed_; }
    QString Report() const;

private:
    struct TStep {
        QString Name;
        TAction Action;
        TReady Ready;
    };

    void Poll();
    void Rescue();

    std::deque<TStep> steps_;
    QTimer poll_;
    QTimer watchdog_;
    bool failed_ = false;
    QString stuckAt_;
};

// The objectName of the active modal widget, or "" when none is open.
QString ActiveModalName();
