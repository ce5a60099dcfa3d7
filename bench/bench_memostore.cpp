// Load and save of the memo store at 1, 10 and 50 MB of Japanese HTML, against ICU's bare
// conversion and a plain read or write of the same bytes. Prints MB/s, MB being 2^20 bytes of the
// file.
//
//   bench_memostore [folder]     (default: a temporary folder)

#include "benchtext.h"
#include "memo/memostore.h"
#include "platform/cp932codec.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unicode/ucnv.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

constexpr double mebibyte = 1024.0 * 1024.0;

double medianSeconds(int runs, const std::function<void()>& work)
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

struct IcuConverter {
    IcuConverter()
    {
        UErrorCode status = U_ZERO_ERROR;
        converter = ucnv_open("windows-31j", &status);
        ucnv_setFallback(converter, false);
    }
    ~IcuConverter() { ucnv_close(converter); }
    UConverter* converter;
};

// ICU alone, the whole text in one call with its default substitution, and a plain write.
void bareSave(const QString& text, const QString& path)
{
    IcuConverter icu;
    UErrorCode status = U_ZERO_ERROR;
    QByteArray bytes(text.size() * 2 + 2, Qt::Uninitialized);
    const int32_t length = ucnv_fromUChars(icu.converter, bytes.data(), int32_t(bytes.size()),
                                           reinterpret_cast<const UChar*>(text.utf16()),
                                           int32_t(text.size()), &status);
    bytes.resize(length);
    QFile file(path);
    if (U_FAILURE(status) || !file.open(QIODevice::WriteOnly) || file.write(bytes) != length)
        std::fprintf(stderr, "bare save failed\n");
}

QString bareLoad(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::fprintf(stderr, "bare load failed\n");
    const QByteArray bytes = file.readAll();
    IcuConverter icu;
    UErrorCode status = U_ZERO_ERROR;
    QString text(bytes.size(), Qt::Uninitialized);
    const int32_t length =
        ucnv_toUChars(icu.converter, reinterpret_cast<UChar*>(text.data()), int32_t(text.size()),
                      bytes.constData(), int32_t(bytes.size()), &status);
    text.resize(length);
    return text;
}

void measure(int megabytes, const QDir& folder)
{
    const QString memo = bench::japaneseHtml(qsizetype(megabytes) * 1024 * 1024);
    const QString store = folder.filePath(u"Data.pnr"_s);
    const QString plain = folder.filePath(u"plain.txt"_s);
    const int runs = megabytes >= 50 ? 3 : 7;
    if (!memostore::save(memo, store).ok())
        std::fprintf(stderr, "save failed\n");
    const double fileMiB = double(QFile(store).size()) / mebibyte;

    const double save = medianSeconds(runs, [&] { return memostore::save(memo, store).ok(); });
    const double bareSaveTime = medianSeconds(runs, [&] { bareSave(memo, plain); });
    const double load = medianSeconds(runs, [&] { return memostore::load(store).ok(); });
    const double bareLoadTime = medianSeconds(runs, [&] { bareLoad(store); });
    const double encode = medianSeconds(runs, [&] { return cp932::encode(memo).ok(); });
    const QByteArray bytes = cp932::encode(memo).value().bytes;
    const double atomicWrite =
        medianSeconds(runs, [&] { return textfile::writeAtomically(plain, bytes).ok(); });

    // One line per size; each key ends in the size in MB, so bench.sh reads them by name.
    std::printf("load_mb_per_s_%d=%.1f load_ms_%d=%.1f bare_load_ms_%d=%.1f "
                "save_mb_per_s_%d=%.1f save_ms_%d=%.1f bare_save_ms_%d=%.1f "
                "encode_ms_%d=%.1f atomic_write_ms_%d=%.1f\n",
                megabytes, fileMiB / load, megabytes, load * 1e3, megabytes, bareLoadTime * 1e3,
                megabytes, fileMiB / save, megabytes, save * 1e3, megabytes, bareSaveTime * 1e3,
                megabytes, encode * 1e3, megabytes, atomicWrite * 1e3);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path());
    for (const int megabytes : {1, 10, 50})
        measure(megabytes, folder);
    return 0;
}
