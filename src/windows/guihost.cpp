#include "windows/guihost.h"

#include "core/appstrings.h"

#include "gui/errorbox.h"
#include "windows/outputview.h"
#include "windows/run.h"

TGuiHost::TGuiHost(TfRun& run, TOutputView& output) : run_(run), output_(output) {}

// The box shows over the line at hand and the output printed so far, not over
// what the last display pass caught.
void TGuiHost::Error(const corvane::TError& error) {
    ShowNow();
    ShowError(error.Message);
}

// The text set here stands until a later line is reached: a message box shown
// meanwhile (a bad input character after the linker emptied the panel) must
// not bring back the line already passed.
void TGuiHost::SetStatus(std::string_view text) {
    run_.SetLineText(QString::fromLatin1(text));
    shownLine_ = line_; // the text holds until progress moves on
}

void TGuiHost::Output(uint32_t value) {
    run_.OutputValue(value);
}

// Back replays the run from its start: the output and the line shown go.
void TGuiHost::Restarted() {
    output_.Clear();
    run_.SetLineText({});
    line_ = 0;
    shownLine_ = INT32_MIN;
}

void TGuiHost::Show() {
    output_.Flush();
    nextDisplay_ = Clock::now() + DisplayInterval;
}

void TGuiHost::ShowNow() {
    if (line_ != shownLine_) {
        run_.SetLineText(QString::fromLatin1(corvane::LineText(line_)));
        shownLine_ = line_;
    }
    Show();
}

void TGuiHost::Pass() {
    if (Clock::now() >= nextDisplay_) ShowNow();
    ProcessPendingEvents();
}
