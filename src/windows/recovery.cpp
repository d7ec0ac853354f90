#include "windows/recovery.h"

#include "windows/filewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <string_view>

namespace {

constexpr const char* CopySuffix = ".recovery";
constexpr const char* LockSuffix = ".lock";
const QString Format = QStringLiteral("corvane-recovery 1");
const QString Utf8 = QStringLiteral("utf-8");
const QString Windows1250 = QStringLiteral("windows-1250");

// Stale at once when its owner is gone, never while its owner runs: no age
// makes a lock stale (stale time 0), however long the program has been open.
std::unique_ptr<QLockFile> LockAt(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

// "exists size seconds nanoseconds device inode", as text: an inode may not
// fit the double a JSON number is.
QString BaseText(const TDiskState& s) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(int(s.Exists))
        .arg(s.Size)
        .arg(s.Seconds)
        .arg(s.Nanoseconds)
        .arg(s.Device)
        .arg(s.Inode);
}

TDiskState BaseFrom(const QString& text) {
    const QStringList f = text.split(u' ');
    if (f.size() != 6) return {};
    return {f[0] == u'1',      f[1].toLongLong(),  f[2].toLongLong(),
            f[3].toLongLong(), f[4].toULongLong(), f[5].toULongLong()};
}

} // namespace

QByteArray CopyBytes(const TRecoveryCopy& copy) {
    const QJsonObject json{
        {"format", Format},
        {"name", copy.Name},
        {"dir", copy.Dir},
        {"encoding", copy.Encoding == corvane::TEncoding::Windows1250 ? Windows1250 : Utf8},
        {"byteOrderMark", copy.ByteOrderMark},
        {"base", BaseText(copy.Base)},
        {"text", copy.Text},
    };
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

std::optional<TRecoveryCopy> CopyFromBytes(const QByteArray& bytes) {
    const QJsonObject json = QJsonDocument::fromJson(bytes).object();
    if (json.value("format").toString() != Format || !json.value("text").isString()) return {};
    TRecoveryCopy copy;
    copy.Name = json.value("name").toString();
    copy.Dir = json.value("dir").toString();
    copy.Text = json.value("text").toString();
    if (json.value("encoding").toString() == Windows1250)
        copy.Encoding = corvane::TEncoding::Windows1250;
    copy.ByteOrderMark = json.value("byteOrderMark").toBool();
    copy.Base = BaseFrom(json.value("base").toString());
    if (copy.Name.isEmpty()) return {};
    return copy;
}

TLeftCopy::TLeftCopy(QString path, std::unique_ptr<QLockFile> lock, TRecoveryCopy copy,
                     QDateTime written)
    : path_(std::move(path)), lock_(std::move(lock)), copy_(std::move(copy)),
      written_(std::move(written)) {}

TLeftCopy::~TLeftCopy() = default;

void TLeftCopy::Discard() {
    QFile::remove(path_);
    lock_.reset();
}

TRecoveryStore::TRecoveryStore(QString folder)
    : folder_(std::move(folder)),
      id_(QStringLiteral("%1-%2")
              .arg(QCoreApplication::applicationPid())
              .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))) {}

TRecoveryStore::~TRecoveryStore() = default;

QString TRecoveryStore::DefaultFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

QString TRecoveryStore::PathOf(const QString& id, const char* suffix) const {
    return folder_ + u'/' + id + QLatin1String(suffix);
}

QString TRecoveryStore::CopyPath() const {
    return PathOf(id_, CopySuffix);
}

bool TRecoveryStore::Write(const TRecoveryCopy& copy) {
    if (folder_.isEmpty()) return false;
    if (!lock_) {
        if (!QDir().mkpath(folder_)) return false;
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        auto lock = LockAt(PathOf(id_, LockSuffix));
        if (!lock->tryLock(0)) return false;
        lock_ = std::move(lock);
    }
    const QByteArray bytes = CopyBytes(copy);
    return WriteWholeFile(CopyPath(), std::string_view(bytes.constData(), bytes.size())) ==
           TWriteResult::Written;
}

void TRecoveryStore::Remove() {
    if (lock_) QFile::remove(CopyPath());
}

std::vector<std::unique_ptr<TLeftCopy>> TRecoveryStore::TakeLeft() {
    std::vector<std::unique_ptr<TLeftCopy>> left;
    if (folder_.isEmpty()) return left;
    QSet<QString> ids;
    const QStringList patterns{QStringLiteral("*") + CopySuffix, QStringLiteral("*") + LockSuffix};
    for (const QString& name : QDir(folder_).entryList(patterns, QDir::Files))
        ids.insert(name.left(name.lastIndexOf(u'.')));
    ids.remove(id_);
    for (const QString& id : ids) {
        auto lock = LockAt(PathOf(id, LockSuffix));
        if (!lock->tryLock(0)) continue; // its owner runs
        const QString path = PathOf(id, CopySuffix);
        QFile file(path);
        // The owner is gone: a temporary file of a write it did not finish is
        // of no use. A lock alone (its owner never wrote a copy, or removed
        // it) goes with `lock` at the end of the turn.
        QFile::remove(TemporaryFileFor(path));
        if (!file.open(QIODevice::ReadOnly)) continue;
        std::optional<TRecoveryCopy> copy = CopyFromBytes(file.readAll());
        if (!copy) {
            QFile::remove(path);
            continue;
        }
        left.push_back(std::make_unique<TLeftCopy>(path, std::move(lock), std::move(*copy),
                                                   QFileInfo(path).lastModified()));
    }
    std::sort(left.begin(), left.end(),
              [](const auto& a, const auto& b) { return a->Written() > b->Written(); });
    return left;
}
