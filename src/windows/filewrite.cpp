#include "windows/filewrite.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TPwrite pwriteFunction = ::pwrite;

class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fd_; }
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            pwriteFunction(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a link names; a dangling link names the file to create.
QString Resolved(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

enum class TTempResult { Replaced, NoTemporaryFile, Failed };

// The new file takes the old one's permissions and, where allowed, its owner.
void TakeOver(int fd, const struct stat* old) {
    if (!old) return;
    if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
        // Only root may give a file away; others keep their own.
    }
    ::fchmod(fd, old->st_mode & 07777);
}

TTempResult ReplaceByRename(const QByteArray& target, const QByteArray& temp,
                            std::string_view bytes, const struct stat* old) {
    if (::unlink(temp.constData()) != 0 && errno != ENOENT) return TTempResult::NoTemporaryFile;
    TFd fd(::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (fd.Get() < 0) return TTempResult::NoTemporaryFile;
    TakeOver(fd.Get(), old);
    bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    written = fd.Close() && written;
    if (!written || ::rename(temp.constData(), target.constData()) != 0) {
        ::unlink(temp.constData());
        return TTempResult::Failed;
    }
    return TTempResult::Replaced;
}

TWriteResult RewriteInPlace(const QByteArray& target, std::string_view bytes) {
    TFd fd(::open(target.constData(), O_RDWR | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return TWriteResult::CannotCreate;
    std::string old(static_cast<std::size_t>(info.st_size), '\0');
    if (!ReadAll(fd.Get(), old)) return TWriteResult::WriteError;
    // Reserve the room without changing the size: a kill now leaves the old
    // text as it was. Where the file system cannot reserve, the restore below
    // still covers a failing write.
    if (bytes.size() > old.size() &&
        ::fallocate(fd.Get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP)
        return TWriteResult::WriteError;
    const auto size = static_cast<off_t>(bytes.size());
    if (WriteAll(fd.Get(), bytes) && ::ftruncate(fd.Get(), size) == 0 && ::fsync(fd.Get()) == 0)
        return TWriteResult::Written;
    // The old text's blocks are still the file's: writing it back fits.
    if (WriteAll(fd.Get(), old) && ::ftruncate(fd.Get(), info.st_size) == 0) ::fsync(fd.Get());
    return TWriteResult::WriteError;
}

} // namespace

QString TemporaryFileFor(const QString& target) {
    return target + QStringLiteral(".corvane-save");
}

TWriteResult WriteWholeFile(const QString& path, std::string_view bytes) {
    const QString target = Resolved(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    switch (ReplaceByRename(targetName, QFile::encodeName(TemporaryFileFor(target)), bytes,
                            exists ? &old : nullptr)) {
    case TTempResult::Replaced: return TWriteResult::Written;
    case TTempResult::Failed: return TWriteResult::WriteError;
    case TTempResult::NoTemporaryFile: break;
    }
    if (!exists) return TWriteResult::CannotCreate;
    return RewriteInPlace(targetName, bytes);
}

TPwrite SetPwrite(TPwrite write) {
    return std::exchange(pwriteFunction, write);
}
