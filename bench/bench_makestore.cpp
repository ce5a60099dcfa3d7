// Writes a memo store for the whole-process benchmarks and prints the memo's size in UTF-16:
// realistic Japanese HTML, the same text the other benchmarks use, or one line: "line" without a
// break opportunity (hexadecimal), "html" of HTML, "japanese" of Japanese without spaces; or
// "short" lines of 34 bytes.
//
//   bench_makestore SIZE PATH [line|html|japanese|short]
//
// SIZE: megabytes (2^20 bytes of the memo store), or kilobytes with a K after the number.

#include "benchtext.h"
#include "memo/memostore.h"

#include <QCoreApplication>
#include <QMap>

#include <cstdio>

using namespace pennoro;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray shape = argc == 4 ? QByteArray(argv[3]) : QByteArray();
    const QMap<QByteArray, QString (*)(qsizetype)> makers = {
        {"", bench::japaneseHtml},    {"line", bench::unbreakableLine},
        {"html", bench::htmlLine},    {"japanese", bench::japaneseLine},
        {"short", bench::shortLines},
    };
    if ((argc != 3 && argc != 4) || !makers.contains(shape)) {
        std::fprintf(stderr, "usage: bench_makestore SIZE PATH [line|html|japanese|short]\n");
        return 2;
    }
    QByteArray size(argv[1]);
    const bool kilobytes = size.endsWith('K');
    if (kilobytes)
        size.chop(1);
    const qsizetype bytes = size.toLongLong() * 1024 * (kilobytes ? 1 : 1024);
    const QString memo = makers.value(shape)(bytes);
    const Outcome written = memostore::save(memo, QString::fromLocal8Bit(argv[2]));
    if (!written.ok()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(written.failure().path),
                     qPrintable(written.failure().reason));
        return 1;
    }
    std::printf("utf16_bytes=%lld lines=%lld\n", static_cast<long long>(memo.size() * 2),
                static_cast<long long>(memo.count(u'\n') + 1));
    return 0;
}
