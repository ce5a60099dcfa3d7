// Writes a memo store of realistic Japanese HTML for the whole-process benchmarks, the same text
// the other benchmarks use, and prints the memo's size in UTF-16.
//
//   bench_makestore MEGABYTES PATH    (MB being 2^20 bytes of the memo store)

#include "benchtext.h"
#include "memo/memostore.h"

#include <QCoreApplication>

#include <cstdio>

using namespace pennoro;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_makestore MEGABYTES PATH\n");
        return 2;
    }
    const qsizetype megabytes = QString::fromLocal8Bit(argv[1]).toLongLong();
    const QString memo = bench::japaneseHtml(megabytes * 1024 * 1024);
    const Outcome written = memostore::save(memo, QString::fromLocal8Bit(argv[2]));
    if (!written.ok()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(written.failure().path),
                     qPrintable(written.failure().reason));
        return 1;
    }
    std::printf("utf16_bytes=%lld\n", static_cast<long long>(memo.size() * 2));
    return 0;
}
