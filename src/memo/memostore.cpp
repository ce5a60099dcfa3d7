#include "memo/memostore.h"

#include "platform/cp932codec.h"

#include <QStringDecoder>

namespace pennoro::memostore {

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Another editor may have saved the store as UTF-8. Code page 932 comes first: a file that is
// valid code page 932 is read as such even when its bytes happen to be valid UTF-8 too (short runs
// of half-width katakana are), so the program's own files never change.
QString textOfStore(QByteArrayView bytes, QString& failure)
{
    static constexpr QByteArrayView utf8Mark("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                  QStringDecoder::Flag::ConvertInitialBom);
    if (bytes.startsWith(utf8Mark))
        return utf8.decode(bytes.sliced(utf8Mark.size()));
    cp932::Decoded decoded = cp932::decodeCounted(bytes);
    failure = decoded.failure;
    if (decoded.invalid == 0 || !decoded.failure.isEmpty())
        return std::move(decoded.text);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? std::move(decoded.text) : text;
}

// Line ends that are not CR LF.
qsizetype countLoneLineEnds(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        else if (isLineEnd(text[i]))
            ++count;
    }
    return count;
}

// Takes the text, so that the usual file, all CR LF, becomes the memo without a copy.
QString memoFromText(QString fileText)
{
    const QStringView text(fileText);
    const bool unfinished = !text.isEmpty() && !isLineEnd(text.back());
    const qsizetype loneEnds = countLoneLineEnds(text);
    if (loneEnds == 0) {
        if (unfinished)
            fileText.append(QStringView(u"\r\n"));
        return fileText;
    }
    QString memo(text.size() + loneEnds + (unfinished ? 2 : 0), Qt::Uninitialized);
    QChar* out = memo.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isLineEnd(c)) {
            *out++ = c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        *out++ = u'\r';
        *out++ = u'\n';
    }
    if (unfinished) {
        *out++ = u'\r';
        *out++ = u'\n';
    }
    return memo;
}

} // namespace

QString memoFromFileText(QStringView fileText)
{
    return memoFromText(fileText.toString());
}

LoadResult load(const QString& path)
{
    ReadResult read = readWholeFile(path);
    if (read.status != ReadResult::Status::Read)
        return {read.status, {}, read.error};
    QString failure;
    QString text = textOfStore(read.bytes, failure);
    if (!failure.isEmpty())
        return {ReadResult::Status::Failed, {}, {read.error.path, failure}};
    return {ReadResult::Status::Read, memoFromText(std::move(text)), read.error};
}

FileResult save(QStringView memo, const QString& path)
{
    return writeTextFile(path, memo);
}

} // namespace pennoro::memostore
