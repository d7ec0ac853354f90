// The desktop program: one editor window and its four helper windows. The
// command line names at most a file to open (corvane FILE); the exit code
// is 0.
#include "app/startdocument.h"
#include "app/startup.h"
#include "gui/application.h"
#include "gui/errorbox.h"
#include "windows/editor.h"
#include "windows/globals.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char** argv) {
    const QString file = FileArgument(argc, argv);
    TQtArguments qtArguments = ProgramNameOnly(argc, argv);
    QApplication app(qtArguments.argc, qtArguments.argv.data());
    SetupApplication(app);
    std::unique_ptr<TWindows> windows;
    try {
        windows = std::make_unique<TWindows>();
        fMain->show();
        // From the event loop: the question and the error box stand over a
        // main window already on the screen.
        QTimer::singleShot(0, fMain, [&file] { OpenAtStart(file); });
        QApplication::exec();
    } catch (...) {
        ShowException(std::current_exception());
    }
    windows.reset();
    return 0;
}
