#pragma once

#include "platform/textfile.h"

#include <QString>
#include <QStringView>

// The memo store: the file that keeps the memo from one run to the next. Start-up loads it,
// save-and-exit saves it; nothing else touches it.
namespace pennoro::memostore {

// A bare name, so the file lies in the current directory.
inline const QString fileName = QStringLiteral("Data.pnr");

// The memo a file's text gives: CR LF, CR alone and LF alone each end a line, and every line,
// the last one too, is followed by CR LF. A final line end adds no empty line; an empty file
// gives the empty memo.
QString memoFromFileText(QStringView fileText);

struct LoadResult {
    ReadResult::Status status;
    QString memo;
    FileResult error; // path + reason when Missing or Failed
};

// Reads the store. The file is code page 932; one that another editor saved as UTF-8 (with a
// byte-order mark, or valid UTF-8 that is not valid code page 932) is read as UTF-8. Missing is no
// failure for the caller: the memo then starts empty.
LoadResult load(const QString& path = fileName);

// Writes the memo and one line end (CR LF) in code page 932, replacing the store atomically.
FileResult save(QStringView memo, const QString& path = fileName);

} // namespace pennoro::memostore
