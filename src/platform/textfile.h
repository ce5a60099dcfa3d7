#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

// The files of the program: written atomically (in place where the folder takes no new file; an
// existing pipe or device is written into), read whole. Failures come back with the file's
// path and the reason, for the caller's message; nothing here shows a message.
namespace pennoro::textfile {

// Writes the bytes it is given to the file, or answers why it could not.
using WriteBytes = std::function<Outcome(QByteArrayView bytes)>;
// Writes a file's content through the function it is given, a piece at a time; answers with the
// first failure, its own or that of a write.
using ProduceBytes = std::function<Outcome(const WriteBytes& write)>;

// Replaces the file atomically (QSaveFile + commit) with what `produce` writes: a failure or a
// crash while writing leaves the earlier file whole. Where the folder takes no new file, a file
// that may be written is written in place; an existing pipe or device is written into, never
// replaced. Reports every failure of opening, writing and committing; running out of memory
// while producing the content is such a failure too (filereasons::outOfMemory).
Outcome writeAtomically(const QString& path, const ProduceBytes& produce);
Outcome writeAtomically(const QString& path, QByteArrayView bytes);

// Gives a text a piece at a time: the next piece, or nothing at the end. A piece may be empty,
// and may end between the two halves of a surrogate pair.
using NextText = std::function<std::optional<QString>()>;

// The program's text file format: the text and one line end (CR LF), in code page 932 with
// numeric character references for what the code page cannot hold, written atomically. The text
// is encoded and written a piece at a time, so that writing holds no more than a piece of it
// besides what the caller holds.
Outcome writeText(const QString& path, const NextText& next);
Outcome writeText(const QString& path, QStringView text);

// The whole file in one read; nothing when nothing exists under that name. Anything else that
// keeps the file from being read is a failure: a folder, a pipe or a device (never waited on), no
// permission, more than `largest` bytes or more than the memory the program may have.
Result<std::optional<QByteArray>> readWhole(const QString& path, qint64 largest);

// The path as messages show it: absolute, with the system's separators.
QString displayPath(const QString& path);

} // namespace pennoro::textfile
