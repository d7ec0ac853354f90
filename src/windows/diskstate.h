// What the program knows of a document's file on disk, to tell whether
// another program changed it since the document read or saved it.
#pragma once

#include <QString>
#include <QtGlobal>

// Size, modification time and identity: a file replaced by another (a
// checkout, an editor that saves by renaming) counts as changed even within
// the clock's tick.
struct TDiskState {
    bool Exists = false;
    qint64 Size = 0;
    qint64 Seconds = 0;
    qint64 Nanoseconds = 0;
    quint64 Device = 0;
    quint64 Inode = 0;
    bool operator==(const TDiskState&) const = default;
};

// The file's state now; a missing file gives the default state.
TDiskState DiskState(const QString& path);
