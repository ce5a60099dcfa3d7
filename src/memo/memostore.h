#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringView>

// The memo store: the file that keeps the memo from one run to the next. Start-up loads it,
// save-and-exit saves it; nothing else touches it.
namespace pennoro::memostore {

// A bare name, so the file lies in the current directory.
inline const QString fileName = QStringLiteral("Data.pnr");

// The memo a store's text gives: CR LF, CR alone and LF alone each end a line and become CR LF,
// and the one line end at the very end, which save-and-exit writes after the memo, is dropped.
// So a save followed by a start gives back the same memo.
QString memoFromStoreText(QString text);

// Reads the store. The file is code page 932; one that another editor saved as UTF-8 (with a
// byte-order mark, or valid UTF-8 that is not valid code page 932) is read as UTF-8. A missing
// store is no failure: the memo then starts empty.
Result<QString> load(const QString& path = fileName);

// Writes the memo and one line end (CR LF) in code page 932, replacing the store atomically.
Outcome save(QStringView memo, const QString& path = fileName);

} // namespace pennoro::memostore
