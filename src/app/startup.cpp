#include "app/startup.h"

#include "windows/about.h"
#include "windows/break.h"
#include "windows/editor.h"
#include "windows/globals.h"
#include "windows/input.h"
#include "windows/run.h"

TWindows::TWindows() {
    try {
        main_ = std::make_unique<TfMain>();
        fMain = main_.get();
        run_ = std::make_unique<TfRun>(fMain);
        fRun = run_.get();
        input_ = std::make_unique<TfInput>(fMain);
        fInput = input_.get();
        break_ = std::make_unique<TfBreak>(fMain);
        fBreak = break_.get();
        about_ = std::make_unique<TfAbout>(fMain);
        fAbout = about_.get();
    } catch (...) {
        Destroy();
        throw;
    }
}

TWindows::~TWindows() {
    Destroy();
}

// The secondary windows are children of the main window, so they go first.
void TWindows::Destroy() noexcept {
    fAbout = nullptr;
    about_.reset();
    fBreak = nullptr;
    break_.reset();
    fInput = nullptr;
    input_.reset();
    fRun = nullptr;
    run_.reset();
    fMain = nullptr;
    main_.reset();
}
