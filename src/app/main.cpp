// The desktop program: one editor window and its four helper windows. The
// command line is ignored and nothing is opened at start; the exit code is 0.
#include "app/startup.h"
#include "gui/application.h"
#include "gui/errorbox.h"
#include "windows/editor.h"
#include "windows/globals.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetupApplication(app);
    InstallErrorSink();
    std::unique_ptr<TWindows> windows;
    try {
        windows = std::make_unique<TWindows>();
        fMain->show();
        QApplication::exec();
    } catch (...) {
        ShowException(std::current_exception());
    }
    windows.reset();
    return 0;
}
