// The run window: output, progress, Close/Break/Stop, and the run control.
#pragma once

#include "core/program.h"
#include "run/session.h"
#include "windows/runsource.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenuBar;
class QStatusBar;
class QTimer;
class TGuiHost;
class TOutputView;

// One modal showing is one run: the editor sets StartState and RunToLine and
// calls exec(); 100 ms later RunProgram parses, links, asks for input and runs.
// Modal results: 8 a phase failed (ErrorPos set), 3 input cancelled (or the
// run abandoned after an unexpected error, which has been shown), 2 closed by
// the user once the run was over.
class TfRun : public QDialog {
    Q_OBJECT
public:
    static constexpr int ResultFailed = 8;
    static constexpr int ResultAborted = 3;
    static constexpr int ResultClosed = 2;

    explicit TfRun(QWidget* parent = nullptr);
    ~TfRun() override;

    QStatusBar* oStatusBar = nullptr;
    TOutputView* oText = nullptr;
    QMenuBar* mMainMenu = nullptr;
    QTimer* oTimer = nullptr;
    QAction* mClose = nullptr;
    QAction* mStop = nullptr;
    QAction* mBreak = nullptr;

    std::unique_ptr<corvane::TProgram> Prog;
    int32_t ErrorPos = 0; // failing source position + 1; 0 when the last phase succeeded
    int32_t StopLine = 0; // Line of the command at which execution last paused or stopped
    int32_t StartState = corvane::psRun; // psRun or psBreak
    int32_t RunToLine = 0;               // 1-based line to run to, 0 for none
    TRunSource Source;                   // the program, its lines and the editor's caption
    // An input text taken as accepted, without the input dialog (whose memo
    // and history stay as they are): a checked case's input.
    std::optional<QString> PresetInput;

    uint32_t GetWorkRegister() const { return Prog->WR; }

    // The output shown so far: values and blanks, no line breaks.
    QString OutputText() const;
    QString PanelText(int panel) const;
    // "Steps: N" after a finished or stopped run; empty and hidden before.
    QString StepsText() const;

    // Parses the editor's text into Prog: -1, or the position of the error.
    int32_t ParseProgram();
    // Drives one run of the run layer's session: the phases, the input
    // dialog, and the break window at every pause.
    void RunProgram();
    // The output procedure of OUTPUT.
    void OutputValue(uint32_t value);

    void mCloseClick();
    void mStopClick();
    void mBreakClick();

public Q_SLOTS:
    void reject() override; // the close box (FormClose)

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TGuiHost;

    bool Ended() const { return (Prog->State & corvane::psEndedMask) != 0; }
    void oTimerTimer();
    bool Failed(int32_t result);
    // Goes on with the run until it pauses or ends, and mirrors where it stands.
    corvane::TRunStatus Go(TGuiHost& host);
    // The break window's answer to a pause.
    void Answer(int result);
    void Finish();
    bool AcceptInput();
    void SetPhase(const char* text);
    void SetMenus(bool running);
    void SetLineText(const QString& text);
    void Abandon();
    void SetAccessibility();

    QLabel* panels_[2] = {};
    // The number of commands executed, shown once a run is over.
    QLabel* stepsPanel_ = nullptr;
    bool inRunProgram_ = false;
    // The run under way; Break and Stop reach it while RunProgram is at work.
    corvane::TRunSession* session_ = nullptr;
};
