// Application-wide identity: the title (the task-bar text, which the main
// window keeps equal to its caption), the icon and the version.
#pragma once

#include <QIcon>
#include <QString>

class QApplication;

// Sets the name, version, title "Corvane" and icon of the application, and
// keeps what Qt itself would store as settings out of the user's folders.
void SetupApplication(QApplication& app);

QString AppTitle();
void SetAppTitle(const QString& title);

// The application's icon, built from the PNG files in the resources.
QIcon AppIcon();
