// Writes a memo store for the whole-process benchmarks and prints the memo's size in UTF-16:
// realistic Japanese HTML, the same text the other benchmarks use, or with "line" one line
// without a break opportunity.
//
//   bench_makestore MEGABYTES PATH [line]    (MB being 2^20 bytes of the memo store)

#include "benchtext.h"
#include "memo/memostore.h"

#include <QCoreApplication>

#include <cstdio>

using namespace pennoro;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool line = argc == 4 && QByteArray(argv[3]) == "line";
    if (argc != 3 && !line) {
        std::fprintf(stderr, "usage: bench_makestore MEGABYTES PATH [line]\n");
        return 2;
    }
    const qsizetype bytes = QString::fromLocal8Bit(argv[1]).toLongLong() * 1024 * 1024;
    const QString memo = line ? bench::unbreakableLine(bytes) : bench::japaneseHtml(bytes);
    const Outcome written = memostore::save(memo, QString::fromLocal8Bit(argv[2]));
    if (!written.ok()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(written.failure().path),
                     qPrintable(written.failure().reason));
        return 1;
    }
    std::printf("utf16_bytes=%lld\n", static_cast<long long>(memo.size() * 2));
    return 0;
}
