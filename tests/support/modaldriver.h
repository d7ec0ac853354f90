// Drives nested modal windows from a test.
#pragma once

#include "gui/modals.h"

#include <QGuiApplication>
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

    // A step for the first modal widget that shows up, whatever its name.
    static inline const QString Any = QStringLiteral("*");

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

// A step's `ready` for a window that must have the keys: after a box closes,
// the activation comes back through the window system a moment later (an X
// server round trip), and until then its shortcuts and focus are not live.
TModalDriver::TReady HasActivation(const QWidget* window);

// Skips a test of the activation handed back when a box closes where the
// window system hands it over itself: X grants it a moment later, and refuses
// a request stamped before the box's own unmapping, so with synthesised input
// the outcome is the server's. Offscreen it is the program's alone.
#define SKIP_UNLESS_ACTIVATION_IS_OURS()                                                           \
    do {                                                                                           \
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))                         \
            QSKIP("the window system hands the activation over; the offscreen run tests it");      \
    } while (false)

// Closes a message box with its one button, as a click does: a key sent to a
// box that has not yet been given the focus (no window manager, a busy
// machine) would find no default button and be lost.
void PressOnlyButton(QWidget* box);

// Qt's own boxes for the lifetime of the object, whatever was installed.
class TRealDialogs : public TQtDialogs {
public:
    TRealDialogs() : previous_(SetDialogs(this)) {}
    ~TRealDialogs() override { SetDialogs(previous_); }
    TRealDialogs(const TRealDialogs&) = delete;
    TRealDialogs& operator=(const TRealDialogs&) = delete;

private:
    TDialogs* previous_;
};

// Records every error box instead of showing it, for the lifetime of the
// object; the other boxes and dialogs stay Qt's. OnError runs while the box
// would be up.
class TErrorRecorder : public TQtDialogs {
public:
    TErrorRecorder();
    ~TErrorRecorder() override;
    TErrorRecorder(const TErrorRecorder&) = delete;
    TErrorRecorder& operator=(const TErrorRecorder&) = delete;

    void Error(QWidget* parent, const QString& title, const QString& text) override;

    QStringList Errors;
    std::function<void(const QString& text)> OnError;

private:
    TDialogs* previous_;
};
