#include "windows/diskstate.h"

#include <QFile>

#include <sys/stat.h>

TDiskState DiskState(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {true,
            static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec),
            static_cast<qint64>(info.st_mtim.tv_nsec),
            static_cast<quint64>(info.st_dev),
            static_cast<quint64>(info.st_ino)};
}
