#include "gui/guidesource.h"

#include <QFile>
#include <QRegularExpression>

// Q_INIT_RESOURCE must be used outside any namespace. A static library's
// resources are linked in only when something refers to them.
static void InitGuideResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(guide);
        return true;
    }();
    (void)done;
}

namespace {
QByteArray ResourceBytes(const QString& path) {
    InitGuideResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
} // namespace

QString GuideMarkdown() {
    static const QString text =
        QString::fromUtf8(ResourceBytes(QStringLiteral(":/guide/guide.md")));
    return text;
}

QByteArray ExampleBytes(const QString& name) {
    static const QRegularExpression plainWord(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (!plainWord.match(name).hasMatch()) return {};
    return ResourceBytes(QStringLiteral(":/examples/%1.cv").arg(name));
}
