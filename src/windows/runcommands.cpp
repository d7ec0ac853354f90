// The Run menu: Run, Trace and Run To Cursor, and the trace of a checked case.
// Each hands the run window its start state and target line, shows it
// modally, and after a failed run selects the failing character (no edit: the
// modified flag stays).
#include "core/program.h"
#include "windows/check.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/run.h"

#include <optional>
#include <utility>

namespace {

void RunFromEditor(TfMain& editor, int32_t startState, int32_t runToLine,
                   std::optional<QString> presetInput = std::nullopt) {
    fRun->Source = editor.RunSource();
    fRun->StartState = startState;
    fRun->RunToLine = runToLine;
    fRun->PresetInput = std::move(presetInput);
    const int result = fRun->exec();
    // Back to the editor, also where no window manager hands the focus back.
    editor.activateWindow();
    if (result == TfRun::ResultFailed) editor.SetSelection(fRun->ErrorPos - 1, 1);
}

} // namespace

void TfMain::mRunClick() {
    RunFromEditor(*this, corvane::psRun, 0);
}

void TfMain::mTraceClick() {
    RunFromEditor(*this, corvane::psBreak, 0);
}

// The line that holds the start of the selection, whichever end the caret is at.
void TfMain::mRunToCursorClick() {
    RunFromEditor(*this, corvane::psRun, LineFromChar(SelectionStart()) + 1);
}

// The keys go back to the Check window the trace came from: left in the
// editor, they would act on a window the Check window covers (Esc there means
// Exit). A failing character stays selected in the editor.
void TfMain::TraceCase(const QString& input) {
    RunFromEditor(*this, corvane::psBreak, 0, input);
    if (check_ && check_->isVisible()) {
        check_->raise();
        check_->activateWindow();
    }
}
