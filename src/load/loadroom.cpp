#include "load/loadroom.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <cstdio>

#include <sys/resource.h>
#include <unistd.h>
#endif

namespace pennoro::loadroom {

namespace {

// Measured as the growth of the process's address space (VmPeak) from the start of the fill to
// the end of the idle split, offscreen, over stores of 10 and 40 MiB with lines of 42, 82, 202,
// 1,002 and 4,002 bytes: 4.09 bytes per UTF-16 character where lines are long (the document's
// copy of the text, and the old and the new buffer while that copy grows), and up to 231 bytes
// more per line (a paragraph, its layout and the heap's bookkeeping for them), the most of any
// store measured. The figures below round both up.
constexpr qint64 bytesPerCharacter = 5;
constexpr qint64 bytesPerLine = 256;
// The window, its fonts and the first paint, whatever the memo.
constexpr qint64 bytesForWindow = 32 << 20;
// Left over for the program once the memo is in: a message box, a save's buffers.
constexpr qint64 reserve = 16 << 20;

} // namespace

qint64 bytesNeeded(qsizetype characters, qsizetype lines)
{
    return bytesPerCharacter * characters + bytesPerLine * lines;
}

std::optional<qint64> addressSpaceLeft()
{
#ifdef Q_OS_LINUX
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    // The first figure of statm: the pages of the whole address space, which the limit counts.
    FILE* statm = std::fopen("/proc/self/statm", "re");
    if (!statm)
        return std::nullopt;
    unsigned long long pages = 0;
    const bool read = std::fscanf(statm, "%llu", &pages) == 1;
    std::fclose(statm);
    if (!read)
        return std::nullopt;
    return qint64(limit.rlim_cur) - qint64(pages) * qint64(sysconf(_SC_PAGESIZE));
#else
    return std::nullopt;
#endif
}

bool fits(qint64 bytes)
{
    const std::optional<qint64> left = addressSpaceLeft();
    return !left || bytes + reserve <= *left;
}

bool memoFits(QStringView memo)
{
    // Without a limit the lines are not counted: a pass over the whole memo for nothing.
    return !addressSpaceLeft() ||
           fits(bytesForWindow + bytesNeeded(memo.size(), memo.count(u'\n') + 1));
}

} // namespace pennoro::loadroom
