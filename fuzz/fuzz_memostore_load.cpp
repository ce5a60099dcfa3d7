// Any bytes as the memo store: loading never fails on content, and the memo is the file's text
// (code page 932, or UTF-8 where the file is plainly UTF-8) with every line end made CR LF and
// one after the last line. The code page reader is checked on its own as well: it counts what it
// could not read, and whatever it could read, the writer writes back unchanged.

#include "fuzzcheck.h"
#include "memo/memostore.h"
#include "platform/cp932codec.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace pennoro;

namespace {

// The memo a text gives, built another way: split at every kind of line end, the lines joined
// by CR LF. The final line end is the one save-and-exit writes after the memo.
QString memoByLines(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines.join(QStringLiteral("\r\n"));
}

QString utf8Text(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

// The text the store's bytes hold: UTF-8 after a byte-order mark, code page 932 when that reads
// them without fault, otherwise UTF-8 when that does, otherwise code page 932 with its faults.
QString storeText(QByteArrayView bytes, const cp932::Decoded& cp932Text)
{
    static constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");
    if (bytes.startsWith(utf8Mark))
        return utf8Text(bytes.sliced(utf8Mark.size()));
    if (cp932Text.invalid == 0)
        return cp932Text.text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? cp932Text.text : text;
}

void checkCodePageReader(QByteArrayView bytes, const cp932::Decoded& decoded)
{
    FUZZ_CHECK(decoded.text.size() <= bytes.size());
    FUZZ_CHECK(decoded.text.count(QChar::ReplacementCharacter) == decoded.invalid);
    if (decoded.invalid != 0)
        return;
    const Result<cp932::Encoded> again = cp932::encode(decoded.text);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.value().referenced == 0);
    FUZZ_CHECK(cp932::decode(again.value().bytes).value().text == decoded.text);
}

const QString& storePath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(memostore::fileName);
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile file(storePath());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
    file.close();

    const Result<QString> loaded = memostore::load(storePath());
    FUZZ_CHECK(loaded.ok());

    const Result<cp932::Decoded> decoded = cp932::decode(bytes);
    FUZZ_CHECK(decoded.ok());
    checkCodePageReader(bytes, decoded.value());
    FUZZ_CHECK(loaded.value() == memoByLines(storeText(bytes, decoded.value())));
    // Save-and-exit writes the memo and one line end: the next start gives the same memo.
    FUZZ_CHECK(memostore::memoFromStoreText(loaded.value() + QStringLiteral("\r\n")) ==
               loaded.value());
    return 0;
}
