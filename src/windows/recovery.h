// Recovery copies: while a document has unsaved changes, its text and file
// name are kept in the user's data folder, so that work survives a crash, a
// kill or a power loss. This is no setting and keeps nothing else: a copy
// lives only while its document has changes that were neither saved nor
// dropped by the user.
//
// Every running instance writes one copy of its own, named by an id of its
// own, and holds a lock file beside it for as long as it runs. A copy whose
// lock is stale (its owner is gone: the process died or the machine
// restarted) or missing was left behind; an instance takes such a copy only
// by taking its lock, so two running instances never take each other's copy,
// nor the same left one.
#pragma once

#include "core/text_codec.h"
#include "windows/diskstate.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

// What a copy holds: enough to reopen the document as it was.
struct TRecoveryCopy {
    QString Name; // the document's file name ("Untitled" for a new one)
    QString Dir;  // its folder, empty for a document never saved
    QString Text; // the editor's text, CR LF line breaks
    corvane::TEncoding Encoding = corvane::TEncoding::Utf8;
    bool ByteOrderMark = false;
    TDiskState Base; // the file as the document last read or saved it
    bool operator==(const TRecoveryCopy&) const = default;
};

// A copy's bytes (JSON), and the copy read back from them; nothing for bytes
// that are no copy.
QByteArray CopyBytes(const TRecoveryCopy& copy);
std::optional<TRecoveryCopy> CopyFromBytes(const QByteArray& bytes);

// A copy left behind by an instance that no longer runs. This instance holds
// its lock until the copy is discarded or the object goes; then the copy, if
// not discarded, is left for a later start.
class TLeftCopy {
public:
    TLeftCopy(QString path, std::unique_ptr<QLockFile> lock, TRecoveryCopy copy, QDateTime written);
    ~TLeftCopy();
    TLeftCopy(const TLeftCopy&) = delete;
    TLeftCopy& operator=(const TLeftCopy&) = delete;

    const TRecoveryCopy& Copy() const { return copy_; }
    const QDateTime& Written() const { return written_; }
    // Removes the copy and its lock.
    void Discard();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    TRecoveryCopy copy_;
    QDateTime written_;
};

class TRecoveryStore {
public:
    // The copies live in `folder`, made (private to the user) at the first
    // write.
    explicit TRecoveryStore(QString folder = DefaultFolder());
    // Releases this instance's lock; a copy not removed stays, and a later
    // start offers it.
    ~TRecoveryStore();
    TRecoveryStore(const TRecoveryStore&) = delete;
    TRecoveryStore& operator=(const TRecoveryStore&) = delete;

    // "recovery" in the user's data folder (QStandardPaths::AppDataLocation).
    static QString DefaultFolder();

    // Replaces this instance's copy as a save replaces a file: a failure
    // leaves the previous copy whole. The first write takes the instance's
    // lock. False when the copy could not be written.
    bool Write(const TRecoveryCopy& copy);
    // Removes this instance's copy, if there is one.
    void Remove();
    QString CopyPath() const;

    // The copies left by instances that no longer run, newest first. Left
    // locks without a copy and copies that cannot be read are cleared away.
    std::vector<std::unique_ptr<TLeftCopy>> TakeLeft();

private:
    QString PathOf(const QString& id, const char* suffix) const;

    QString folder_;
    QString id_; // this instance's: process id and a random part
    std::unique_ptr<QLockFile> lock_;
};
