// Replacing a document's file on disk so that a failure never leaves it half
// written: the old file stays whole, or the new text is all there.
#pragma once

#include <QString>

#include <string_view>

#include <sys/types.h>

enum class TWriteResult { Written, CannotCreate, WriteError };

// The temporary file a save writes beside `target` before it replaces it.
// Its name is fixed, so one left behind by a save that was killed is taken up
// (and removed) by the next save instead of piling up.
QString TemporaryFileFor(const QString& target);

// Writes `bytes` as the whole new content of `path` (a link is followed: the
// file it names is replaced and keeps its permissions, the link stays).
// The text goes to the temporary file, which then replaces the target by a
// rename. Where no file can be made in the folder but the target itself is
// writable, the target is rewritten in place: room for the new text is
// reserved first, so a full disk refuses before anything is overwritten, and
// a write that still fails midway puts the old text back.
TWriteResult WriteWholeFile(const QString& path, std::string_view bytes);

// Every write of file content goes through this function (pwrite's contract),
// so tests can make a write fail midway. Returns the previous one.
using TPwrite = ssize_t (*)(int fd, const void* data, size_t size, off_t offset);
TPwrite SetPwrite(TPwrite write);
