#include "gui/errorbox.h"

#include "core/appstrings.h"
#include "gui/application.h"
#include "gui/modals.h"

#include <new>
#include <stdexcept>

void InstallErrorSink() {
    corvane::SetErrorSink([](std::string_view message) {
        Dialogs().Error(BoxParent(), QString::fromUtf8(corvane::Str(corvane::sProduct)),
                        QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    });
}

QString WithFullStop(const QString& message) {
    if (!message.isEmpty() && message.back() > u'.') return message + u'.';
    return message;
}

void ShowTopLevelError(const QString& message) {
    Dialogs().Error(BoxParent(), AppTitle(), WithFullStop(message));
}

void ShowException(std::exception_ptr error) noexcept {
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::bad_alloc&) {
            ShowTopLevelError(QString::fromUtf8(corvane::Str(corvane::sNoMemory)));
        } catch (const std::exception& e) {
            ShowTopLevelError(QString::fromUtf8(e.what()));
        } catch (...) {
            ShowTopLevelError(QStringLiteral("Unknown error"));
        }
    } catch (...) {
        // Showing the box failed as well; nothing is left to report with.
    }
}
