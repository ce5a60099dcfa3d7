#include "memo/memostore.h"

#include "platform/cp932codec.h"
#include "platform/filereasons.h"
#include "platform/lineends.h"
#include "platform/textfile.h"

#include <QStringDecoder>

#include <new>

namespace pennoro::memostore {

namespace {

// Another editor may have saved the store as UTF-8. Code page 932 comes first: a file that is
// valid code page 932 is read as such even when its bytes happen to be valid UTF-8 too (short runs
// of half-width katakana are), so the program's own files never change.
Result<QString> textOfStore(QByteArrayView bytes)
{
    static constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    if (bytes.startsWith(utf8Mark))
        return QString(utf8.decode(bytes.sliced(utf8Mark.size())));
    Result<cp932::Decoded> decoded = cp932::decode(bytes);
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

Result<QString> load(const QString& path)
{
    Result<std::optional<QByteArray>> read = textfile::readWhole(path, largestStore);
    if (!read.ok())
        return read.failure();
    if (!read.value())
        return QString();
    try {
        Result<QString> text = textOfStore(*read.value());
        read.value().reset(); // the bytes, no longer needed
        if (!text.ok())
            return Failure{textfile::displayPath(path), text.failure().reason};
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

} // namespace pennoro::memostore
