// One zoom for the program text of every window: the editor, the run
// window's output, the break window, the input memo, the Check window and the
// guide grow and shrink together. It lasts while the application runs and is
// never saved.
#pragma once

#include <QFont>
#include <QObject>

#include <functional>

class QAbstractScrollArea;
class QAction;
class QWidget;

class TZoom : public QObject {
    Q_OBJECT
public:
    static constexpr int MinPercent = 50;
    static constexpr int MaxPercent = 400;

    // The application's one zoom, made on first use as a child of the
    // application object.
    static TZoom& Instance();

    int Percent() const { return percent_; }
    qreal Factor() const { return percent_ / 100.0; }

    // One step along the ladder of about 10% steps (100 * 1.1^k, rounded),
    // stopping at the bounds. A percent between steps goes to the next one.
    void ZoomIn();
    void ZoomOut();
    void Reset();
    // Clamped to the bounds; Changed only when the percent changes.
    void SetPercent(int percent);

    // The ladder's step after and before `percent`, within the bounds.
    static int StepUp(int percent);
    static int StepDown(int percent);

Q_SIGNALS:
    void Changed(int percent);

private:
    using QObject::QObject;
    int percent_ = 100;
};

inline TZoom& Zoom() {
    return TZoom::Instance();
}

// The widget's font, made by `font` for the current zoom percent, now and
// whenever the zoom or the application's font changes afterwards.
void FollowZoom(QWidget* widget, std::function<QFont(int percent)> font);

// The zoom's three commands as actions of `window`, each with its keys: Zoom
// In (Ctrl+=, Ctrl++, Ctrl and the keypad's +), Zoom Out (Ctrl+-, Ctrl and
// the keypad's -) and Reset Zoom (Ctrl+0, Ctrl and the keypad's 0). The keys
// act while the window is the active one, so a modal window needs its own:
// the application's shortcuts would not reach it. The main window puts the
// same actions in its View menu.
struct TZoomActions {
    QAction* In = nullptr;
    QAction* Out = nullptr;
    QAction* Reset = nullptr;
};
TZoomActions InstallZoomKeys(QWidget* window);

// Ctrl+wheel over the area's viewport zooms instead of scrolling (and instead
// of a read-only text's own zoom of its font alone). High-resolution wheels
// step once per notch's worth of turning.
void ZoomByWheel(QAbstractScrollArea* area);
