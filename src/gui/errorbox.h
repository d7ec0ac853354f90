// Error reporting of the shell: the core's error box and the top-level error
// box that ends a failing command handler.
#pragma once

#include <QString>

#include <exception>
#include <utility>

// Installs the core's error sink (corvane::ShowError): the error box with the
// product string as its caption and the message unchanged.
void InstallErrorSink();

// The message with a full stop appended when its last character sorts after
// '.' (so "Stream write error" gets one, "Parsing ..." does not).
QString WithFullStop(const QString& message);

// The top-level error box: the application title as caption, the full-stop rule.
void ShowTopLevelError(const QString& message);

// Shows a caught exception in the top-level error box.
void ShowException(std::exception_ptr error) noexcept;

// Runs a command handler. Qt offers no safe way for an exception to pass
// through its event dispatch, so every handler runs through here: an error
// ends the handler, is shown, and the program goes on.
template <class F>
void RunGuarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
    } catch (...) {
        ShowException(std::current_exception());
    }
}
