#pragma once

#include "platform/result.h"
#include "platform/textfile.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <atomic>

// The memo store: the file that keeps the memo from one run to the next. Start-up loads it,
// save-and-exit saves it; nothing else touches it.
namespace pennoro::memostore {

// A bare name, so the file lies in the current directory.
inline const QString fileName = QStringLiteral("Data.pnr");

// The largest store that start-up reads, 256 MiB. The memo widget counts its characters in an int,
// so no store of 2 GiB or more could ever show. Within that, what a start costs sets the limit:
// the memo takes about five bytes of memory and a start some 25 ms for each store byte or
// megabyte (the README's measurements), so 256 MiB already asks for some 1.3 GiB and seconds, for
// a memo that no one writes by hand. A larger store is reported as unreadable and left as it is.
inline constexpr qint64 largestStore = qint64(256) << 20;

// The memo a store's text gives: CR LF, CR alone and LF alone each end a line and become CR LF,
// and the one line end at the very end, which save-and-exit writes after the memo, is dropped.
// So a save followed by a start gives back the same memo.
QString memoFromStoreText(QString text);

// How far a reading on another thread has come, from 0 to 100, and whether it is still wanted.
struct LoadProgress {
    std::atomic<int> percent{0};
    std::atomic<bool> givenUp{false};
};

// Reads the store. The file is code page 932; one that another editor saved as UTF-8 (with a
// byte-order mark, or valid UTF-8 that is not valid code page 932) is read as UTF-8. A missing
// store is no failure: the memo then starts empty. A store that is not a regular file, is larger
// than largestStore or needs more memory than the program may have is a failure. `progress`, when
// given, follows the reading; a reading given up there ends soon, with a failure.
Result<QString> load(const QString& path = fileName, LoadProgress* progress = nullptr);

// Writes the memo and one line end (CR LF) in code page 932, replacing the store atomically.
Outcome save(QStringView memo, const QString& path = fileName);
// The same from the memo's pieces (MemoEdit::wholeTextInPieces), holding no more than a piece at
// a time: a memo that fills the memory can still be saved.
Outcome save(const textfile::NextText& memo, const QString& path = fileName);

} // namespace pennoro::memostore
