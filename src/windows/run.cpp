#include "windows/run.h"

#include "core/appstrings.h"
#include "core/executor.h"
#include "core/parser.h"
#include "core/text_codec.h"
#include "gui/barparts.h"
#include "gui/captionfit.h"
#include "gui/errorbox.h"
#include "gui/fonts.h"
#include "gui/zoom.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/guihost.h"
#include "windows/input.h"
#include "windows/outputview.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr QSize DesignedSize(274, 280);
} // namespace

TfRun::TfRun(QWidget* parent) : QDialog(parent), Prog(std::make_unique<corvane::TProgram>()) {
    setObjectName("fRun");
    setWindowTitle("fRun");

    oStatusBar = new QStatusBar(this);
    oStatusBar->setObjectName("oStatusBar");
    panels_[0] = AddPanel(oStatusBar, 150, "Line: 2147483647");
    panels_[1] = AddPanel(oStatusBar, 0);
    stepsPanel_ = AddPanel(oStatusBar, 130, "Steps: 4294967295");
    stepsPanel_->setObjectName("oStepsPanel");
    stepsPanel_->hide();

    oText = new TOutputView(this);
    oText->setObjectName("oText");
    FollowZoom(oText, FormFont); // the window's own font, zoomed
    ZoomByWheel(oText);

    mMainMenu = new QMenuBar(this);
    mMainMenu->setObjectName("mMainMenu");
    mClose = AddBarCommand(mMainMenu, "mClose", "&Close (Esc)", Qt::Key_Escape);
    mBreak = AddBarCommand(mMainMenu, "mBreak", "&Break (F6)", Qt::Key_F6);
    mStop = AddBarCommand(mMainMenu, "mStop", "&Stop (F5)", Qt::Key_F5);
    connect(mClose, &QAction::triggered, this, [this] { RunGuarded([this] { mCloseClick(); }); });
    connect(mBreak, &QAction::triggered, this, [this] { RunGuarded([this] { mBreakClick(); }); });
    connect(mStop, &QAction::triggered, this, [this] { RunGuarded([this] { mStopClick(); }); });

    oTimer = new QTimer(this);
    oTimer->setObjectName("oTimer");
    oTimer->setInterval(100);
    oTimer->setSingleShot(true);
    connect(oTimer, &QTimer::timeout, this, &TfRun::oTimerTimer);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mMainMenu);
    layout->addWidget(oText, 1);
    layout->addWidget(oStatusBar);
    InstallZoomKeys(this);
    GrowWindow(*this, DesignedSize);
    SetAccessibility();
}

void TfRun::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) GrowWindow(*this, DesignedSize);
}

void TfRun::SetAccessibility() {
    oText->setAccessibleName(QStringLiteral("Output"));
    oText->setAccessibleDescription(
        QStringLiteral("The values the program has output, separated by blanks"));
    panels_[0]->setAccessibleName(QStringLiteral("Line"));
    panels_[0]->setAccessibleDescription(QStringLiteral("The line the run has reached"));
    panels_[1]->setAccessibleName(QStringLiteral("Phase"));
    panels_[1]->setAccessibleDescription(
        QStringLiteral("What the run is doing: parsing, linking, waiting for input, running"));
    stepsPanel_->setAccessibleName(QStringLiteral("Steps"));
    stepsPanel_->setAccessibleDescription(QStringLiteral("Commands executed by the run"));
}

TfRun::~TfRun() = default;

QString TfRun::OutputText() const {
    return oText->Text();
}

QString TfRun::StepsText() const {
    return stepsPanel_->isHidden() ? QString() : stepsPanel_->text();
}

QString TfRun::PanelText(int panel) const {
    return panel >= 0 && panel < 2 ? panels_[panel]->text() : QString();
}

int32_t TfRun::ParseProgram() {
    TGuiHost host(*this, *oText, *fBreak);
    const std::string text = corvane::ToMachineText(Source.Text.toStdU16String());
    return corvane::ParseProgram(text, *Prog, host);
}

// A full output ends the run before the next command, as Stop does, after
// saying why; the window stays open with everything printed so far.
void TfRun::OutputValue(uint32_t value) {
    oText->Append(value);
    if (oText->Full() && !outputLimited_) {
        outputLimited_ = true;
        Prog->Move(corvane::TMove::mvStop);
        ShowError(QString::fromStdString(corvane::OutputLimitText(oText->Values())));
    }
}

void TfRun::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // restored from minimised: not a new showing
    setWindowTitle(Source.Caption + " - [run]");
    FitCaption(*this);
    oText->Clear();
    stepsPanel_->hide();
    stepsPanel_->clear();
    oTimer->start();
}

void TfRun::hideEvent(QHideEvent* event) {
    // A window closed before its timer fired must not start a run unseen.
    if (!event->spontaneous()) oTimer->stop();
    QDialog::hideEvent(event);
}

// The run starts from the event loop: an exception (no memory for a huge
// program) is shown like one of a menu command, and the run is abandoned.
void TfRun::oTimerTimer() {
    oTimer->stop();
    inRunProgram_ = true;
    bool completed = false;
    RunGuarded([this, &completed] {
        RunProgram();
        completed = true;
    });
    inRunProgram_ = false;
    if (!completed) Abandon();
}

// After an error that no phase reported: the window closes as after a
// cancelled input, so the editor leaves its selection alone.
void TfRun::Abandon() {
    Prog->Move(corvane::TMove::mvFail);
    ErrorPos = 0;
    SetMenus(false);
    done(ResultAborted);
}

void TfRun::SetPhase(const char* text) {
    panels_[1]->setText(QString::fromLatin1(text));
}

void TfRun::SetLineText(const QString& text) {
    panels_[0]->setText(text);
}

void TfRun::SetMenus(bool running) {
    mClose->setEnabled(!running);
    mBreak->setEnabled(running);
    mStop->setEnabled(running);
}

bool TfRun::Failed(int32_t result) {
    ErrorPos = result + 1;
    if (result == -1) return false;
    Prog->Move(corvane::TMove::mvFail);
    done(ResultFailed);
    return true;
}

void TfRun::RunProgram() {
    using namespace corvane;
    // However the run ends, the editor no longer shows a paused line.
    struct TPausedLineGuard {
        ~TPausedLineGuard() {
            if (fMain) fMain->ShowPausedLine(0);
        }
    } pausedLineGuard;
    outputLimited_ = false;
    SetPhase(Str(sParsing));
    if (Failed(ParseProgram())) return;

    TGuiHost host(*this, *oText, *fBreak);
    SetPhase(Str(sLinking));
    if (Failed(Prog->Link(host))) return;
    // A line without a command (a label alone, a comment, a blank line) runs
    // to the command that follows it; the stop test stays a bit lookup.
    RunToLine = Prog->FirstCommandLineFrom(RunToLine);

    SetPhase(Str(sWaitingForInput));
    if (!AcceptInput()) {
        Prog->Move(TMove::mvFail);
        done(ResultAborted);
        return;
    }

    SetMenus(true);
    fBreak->PrepareRun();
    SetPhase(Str(sRunning));
    TInputList& input = fInput->InputList;
    if (Failed(Prog->Start(host, input, StartState))) return;
    while (Prog->State == psBreak) {
        host.Show();
        if (fMain) fMain->ShowPausedLine(StopLine);
        switch (fBreak->exec()) {
        case TfBreak::ResultContinue: Prog->Move(TMove::mvContinue); break;
        case TfBreak::ResultNext: Prog->Move(TMove::mvNext); break;
        case TfBreak::ResultStop: Prog->Move(TMove::mvStop); break;
        case TfBreak::ResultBack: StepBack(); break; // paused still, one command earlier
        default: break;                              // still paused: the break window comes back
        }
        if (Failed(Prog->Resume(host, input))) return;
    }
    host.Show();
    Finish();
}

// The input dialog's values, or the preset text's; a preset with a character
// that is no part of a number is shown as the dialog would show it.
bool TfRun::AcceptInput() {
    if (!PresetInput) return fInput->exec() != TfInput::ResultCancelled;
    const std::string text = corvane::ToMachineText(PresetInput->toStdU16String());
    if (fInput->InputList.Parse(text) == 0) return true;
    ShowError(corvane::sBadCharacter);
    return false;
}

void TfRun::Finish() {
    SetMenus(false);
    // The bound is no Stop by the user: the caption says what ended the run.
    if (outputLimited_)
        setWindowTitle(Source.Caption + " - [output limit]");
    else if (Prog->State == corvane::psStop)
        setWindowTitle(Source.Caption + " - [stop]");
    if (Prog->State == corvane::psFinished) setWindowTitle(Source.Caption + " - [finished]");
    FitCaption(*this);
    panels_[0]->clear();
    panels_[1]->clear();
    stepsPanel_->setText(QStringLiteral("Steps: %1").arg(Prog->Steps));
    stepsPanel_->show();
}

void TfRun::mCloseClick() {
    reject();
}

// Every way of closing the window by the user comes here. While RunProgram is
// at work (also while it parses, links or waits for input, when the state word
// still says how the previous run ended) the window stays: closing it then
// would leave the run going on in a hidden window.
void TfRun::reject() {
    if (Ended() && !inRunProgram_) {
        done(ResultClosed);
        return;
    }
    ShowError(corvane::sCannotClose);
    // Without a window manager nobody hands the activation back when the box
    // closes, and Stop, Break and Close would no longer get their keys.
    activateWindow();
}

void TfRun::mStopClick() {
    Prog->Move(corvane::TMove::mvStop);
}

void TfRun::mBreakClick() {
    Prog->Move(corvane::TMove::mvBreak);
}

// Esc is Close's shortcut and nothing else: a disabled Close ignores it. (It
// arrives here when the shortcut did not take it, as when the window is not
// the active one.)
void TfRun::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        if (mClose->isEnabled()) mClose->trigger();
        return;
    }
    QDialog::keyPressEvent(event);
}
