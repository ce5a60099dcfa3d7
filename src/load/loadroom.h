#pragma once

#include <QStringView>

#include <optional>

namespace pennoro::loadroom {

// The address space that text takes in the window beyond what the process holds when the fill
// begins (the decoded text included), at its peak: once every line has a paragraph of its own.
qint64 bytesNeeded(qsizetype characters, qsizetype lines);

// The address space the process may still take under its limit (RLIMIT_AS), or none where it has
// no limit or the system does not say what it holds.
std::optional<qint64> addressSpaceLeft();

// Whether that much more fits in the address space left, with a reserve for the rest of the
// program; always where there is no limit.
bool fits(qint64 bytes);

// Whether the memo can go into the window within the limit, the window's own needs included.
bool memoFits(QStringView memo);

} // namespace pennoro::loadroom
