// Application-wide identity: the title (the task-bar text, which the main
// window keeps equal to its caption), the icon and the version.
#pragma once

#include <QIcon>
#include <QString>

#include <array>

class QApplication;

// The arguments QApplication gets: the program name alone. The command line
// names a file at most, and Qt's own options (-reverse, -style, -platform ...)
// must not act; the environment (QT_QPA_PLATFORM and the like) still does. Qt keeps
// references to both members: the object must outlive the QApplication.
struct TQtArguments {
    int argc = 1;
    std::array<char*, 2> argv{};
};
TQtArguments ProgramNameOnly(int argc, char** argv);

// Sets the name, version, title "Corvane" and icon of the application, and
// keeps what Qt itself would store as settings out of the user's folders.
void SetupApplication(QApplication& app);

QString AppTitle();
void SetAppTitle(const QString& title);

// The application's icon, built from the PNG files in the resources.
QIcon AppIcon();
