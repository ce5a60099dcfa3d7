#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The files of the program: written atomically (in place where the folder takes no new file; an
// existing pipe or device is written into), read whole. Failures come back with the file's
// path and the reason, for the caller's message; nothing here shows a message.
namespace pennoro::textfile {

// Replaces the file atomically (QSaveFile + commit): a failure or a crash while writing leaves the
// earlier file whole. Where the folder takes no new file, a file that may be written is written in
// place; an existing pipe or device is written into, never replaced. Reports every failure of
// opening, writing and committing.
Outcome writeAtomically(const QString& path, QByteArrayView bytes);

// The program's text file format: the text and one line end (CR LF), in code page 932 with
// numeric character references for what the code page cannot hold, written atomically.
Outcome writeText(const QString& path, QStringView text);

// The whole file in one read; nothing when nothing exists under that name. Anything else that
// keeps the file from being read is a failure: a folder, a pipe or a device (never waited on), no
// permission, more than `largest` bytes or more than the memory the program may have.
Result<std::optional<QByteArray>> readWhole(const QString& path, qint64 largest);

// The path as messages show it: absolute, with the system's separators.
QString displayPath(const QString& path);

} // namespace pennoro::textfile
