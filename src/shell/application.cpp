#include "shell/application.h"

#include <QApplication>

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

void SetupApplication(QApplication& app) {
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
