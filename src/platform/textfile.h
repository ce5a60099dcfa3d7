#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The files of the program: written atomically, read whole. Failures are returned with the file's
// path and the reason, for the caller's message; nothing here shows a message.
namespace pennoro {

struct FileResult {  // ok() when reason is empty
    QString path;    // absolute, native separators, for messages
    QString reason;  // what failed, for messages (e.g. QSaveFile::errorString())
    bool ok() const { return reason.isEmpty(); }
};

// Replaces the file atomically (QSaveFile + commit): a failure or a crash while writing leaves the
// earlier file whole. Reports every failure of opening, writing and committing.
FileResult writeFileAtomically(const QString& path, QByteArrayView bytes);

// The program's text file format: the text and one line end (CR LF), in code page 932 with
// numeric character references for what the code page cannot hold, written atomically.
FileResult writeTextFile(const QString& path, QStringView text);

struct ReadResult {
    enum class Status { Read, Missing, Failed };
    Status status = Status::Read;
    QByteArray bytes;
    FileResult error; // path + reason when Missing or Failed
};

// The whole file in one read. Missing only when nothing exists under that name; anything else
// that keeps the file from being read (a folder, no permission) is Failed.
ReadResult readWholeFile(const QString& path);

} // namespace pennoro
