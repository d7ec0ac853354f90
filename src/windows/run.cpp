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
    TGuiHost host(*this, *oText);
    const std::string text = corvane::ToMachineText(Source.Text.toStdU16String());
    return corvane::ParseProgram(text, *Prog, host);
}

void TfRun::OutputValue(uint32_t value) {
    oText->Append(value);
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
    done(ResultFailed);
    return true;
}

void TfRun::RunProgram() {
    using namespace corvane;
    TRunSession session(*Prog, fInput->InputList, fBreak->StopLines());
    // However the run ends, the editor no longer shows a paused line, and
    // the window's commands no longer reach the session.
    struct TRunGuard {
        TfRun& Run;
        ~TRunGuard() {
            Run.session_ = nullptr;
            if (fMain) fMain->ShowPausedLine(0);
        }
    } guard{*this};
    session_ = &session;
    TGuiHost host(*this, *oText);
    SetPhase(Str(sParsing));
    if (Failed(session.Parse(ToMachineText(Source.Text.toStdU16String()), host))) return;
    SetPhase(Str(sLinking));
    if (Failed(session.Link(host))) return;

    SetPhase(Str(sWaitingForInput));
    if (!AcceptInput()) {
        session.Abandon();
        done(ResultAborted);
        return;
    }

    SetMenus(true);
    fBreak->PrepareRun();
    SetPhase(Str(sRunning));
    session.SetOutputCapacity(oText->Capacity());
    session.Begin(StartState == psBreak ? TStartMode::Trace : TStartMode::Run, RunToLine);
    TRunStatus status = Go(host);
    while (status == TRunStatus::Paused) {
        if (fMain) fMain->ShowPausedLine(StopLine);
        Answer(fBreak->exec());
        status = Go(host);
    }
    if (status == TRunStatus::Failed && Failed(session.Failure() ? session.Failure()->Pos : -1))
        return;
    Finish();
}

corvane::TRunStatus TfRun::Go(TGuiHost& host) {
    const corvane::TRunStatus status = session_->Go(host);
    StopLine = session_->StopLine();
    RunToLine = session_->RunToLine();
    host.Show();
    // The bound is no Stop by the user: the message says what ended the run.
    if (status == corvane::TRunStatus::Stopped && session_->OutputLimited())
        ShowError(QString::fromStdString(corvane::OutputLimitText(session_->Outputs())));
    return status;
}

// Any other result leaves the run paused, so the break window comes back.
void TfRun::Answer(int result) {
    switch (result) {
    case TfBreak::ResultContinue: session_->Continue(); break;
    case TfBreak::ResultNext: session_->Next(); break;
    case TfBreak::ResultStop: session_->Stop(); break;
    case TfBreak::ResultBack: session_->Back(); break; // paused still, one command earlier
    default: break;
    }
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
    if (session_ && session_->OutputLimited())
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
    if (session_)
        session_->Stop();
    else
        Prog->Move(corvane::TMove::mvStop);
}

void TfRun::mBreakClick() {
    if (session_) session_->Break();
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
