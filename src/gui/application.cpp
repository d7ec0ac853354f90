#include "gui/application.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

namespace {
QString& Title() {
    static QString title = QStringLiteral("Corvane");
    return title;
}
} // namespace

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitResources() {
    Q_INIT_RESOURCE(corvane);
}

// Qt's own file dialogs store their history and last folder through QSettings
// in the user's configuration folder. The program keeps no settings and writes
// no file but the documents: the settings go to a folder of this run's own,
// removed at exit, so the dialogs remember only while the program runs.
static void KeepSettingsForThisRun() {
    static QTemporaryDir folder;
    if (!folder.isValid()) return;
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder.path());
}

void SetupApplication(QApplication& app) {
    KeepSettingsForThisRun();
    app.setApplicationName(QStringLiteral("Corvane"));
    app.setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    app.setDesktopFileName(QStringLiteral("corvane"));
    app.setWindowIcon(AppIcon());
    SetAppTitle(QStringLiteral("Corvane"));
}

QString AppTitle() {
    return Title();
}

void SetAppTitle(const QString& title) {
    Title() = title;
}

QIcon AppIcon() {
    static const QIcon icon = [] {
        InitResources();
        QIcon result;
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            result.addFile(QStringLiteral(":/icons/corvane-%1.png").arg(size), QSize(size, size));
        return result;
    }();
    return icon;
}
