#include "memo/memostore.h"

#include "platform/cp932codec.h"
#include "platform/filereasons.h"
#include "platform/lineends.h"
#include "platform/textfile.h"

#include <QStringDecoder>

#include <new>

namespace pennoro::memostore {

namespace {

// Decodes a piece at a time, each ending after a line feed (which no character of the code page
// spans, so the text is the same as at one go), and says how far it has come.
Result<cp932::Decoded> decodeInPieces(QByteArrayView bytes, LoadProgress* progress)
{
    constexpr qsizetype pieceBytes = qsizetype(1) << 20;
    if (bytes.size() <= pieceBytes)
        return cp932::decode(bytes);
    cp932::Decoded whole;
    whole.text.reserve(bytes.size()); // no byte gives more than one character
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype newline = bytes.indexOf('\n', qMin(from + pieceBytes, bytes.size()));
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        Result<cp932::Decoded> piece = cp932::decode(bytes.sliced(from, end - from));
        if (!piece.ok())
            return piece.failure();
        whole.text += piece.value().text;
        whole.invalid += piece.value().invalid;
        if (progress) {
            if (progress->givenUp)
                return Failure{{}, filereasons::unknown};
            progress->percent = int(end * 100 / bytes.size());
        }
        from = end;
    }
    return whole;
}

// Another editor may have saved the store as UTF-8. Code page 932 comes first: a file that is
// valid code page 932 is read as such even when its bytes happen to be valid UTF-8 too (short runs
// of half-width katakana are), so the program's own files never change.
Result<QString> textOfStore(QByteArrayView bytes, LoadProgress* progress)
{
    static constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    if (bytes.startsWith(utf8Mark))
        return QString(utf8.decode(bytes.sliced(utf8Mark.size())));
    Result<cp932::Decoded> decoded = decodeInPieces(bytes, progress);
    if (!decoded.ok())
        return decoded.failure();
    if (decoded.value().invalid == 0)
        return std::move(decoded.value().text);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? std::move(decoded.value().text) : text;
}

} // namespace

QString memoFromStoreText(QString text)
{
    text = lineends::toCrLf(std::move(text));
    if (text.endsWith(QStringView(u"\r\n")))
        text.chop(2);
    return text;
}

Result<QString> load(const QString& path, LoadProgress* progress)
{
    Result<std::optional<QByteArray>> read = textfile::readWhole(path, largestStore);
    if (!read.ok())
        return read.failure();
    if (!read.value())
        return QString();
    try {
        Result<QString> text = textOfStore(*read.value(), progress);
        read.value().reset(); // the bytes, no longer needed
        if (!text.ok())
            return Failure{textfile::displayPath(path), text.failure().reason};
        if (progress && progress->givenUp)
            return Failure{textfile::displayPath(path), filereasons::unknown};
        return memoFromStoreText(std::move(text.value()));
    } catch (const std::bad_alloc&) {
        // The text takes twice the bytes, and more with its line ends: the memory may run out here
        // though it held the bytes.
        return Failure{textfile::displayPath(path), filereasons::tooLarge};
    }
}

Outcome save(QStringView memo, const QString& path)
{
    return textfile::writeText(path, memo);
}

Outcome save(const textfile::NextText& memo, const QString& path)
{
    return textfile::writeText(path, memo);
}

} // namespace pennoro::memostore
