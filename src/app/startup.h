// Owner of the five application windows: creates them in the order fMain,
// fRun, fInput, fBreak, fAbout, sets the globals, and destroys them in the
// reverse order. All start hidden.
#pragma once

#include "windows/globals.h"

#include <memory>

class TWindows {
public:
    TWindows();
    ~TWindows();
    TWindows(const TWindows&) = delete;
    TWindows& operator=(const TWindows&) = delete;

private:
    void Destroy() noexcept;

    std::unique_ptr<TfMain> main_;
    std::unique_ptr<TfRun> run_;
    std::unique_ptr<TfInput> input_;
    std::unique_ptr<TfBreak> break_;
    std::unique_ptr<TfAbout> about_;
};
