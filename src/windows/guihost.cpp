#include "windows/guihost.h"

#include "core/appstrings.h"

#include "windows/outputview.h"
#include "windows/run.h"

TGuiHost::TGuiHost(TfRun& run, TOutputView& output, const TStopLines& stops)
    : run_(run), output_(output), stops_(stops), runToLine_(run.RunToLine), stopLine_(run.StopLine),
      sink_([this, forward = corvane::CurrentErrorSink()](std::string_view message) {
          ShowNow();
          if (forward) forward(message);
      }) {}

void TGuiHost::SetStatus(std::string_view text) {
    run_.SetLineText(QString::fromLatin1(text));
    shownLine_ = INT32_MIN; // the panel no longer shows line_
}

// A full output stops the run like the Stop command, after saying why; the
// window stays open with everything printed so far.
void TGuiHost::Output(uint32_t value) {
    output_.Append(value);
    if (output_.Full() && run_.Prog->State != corvane::psStop) {
        corvane::ShowError(corvane::sNoMemory);
        run_.Prog->State = corvane::psStop;
    }
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
