#include "platform/lineends.h"

namespace pennoro::lineends {

namespace {

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

bool isCrLfAt(const QChar* text, qsizetype size, qsizetype i)
{
    return text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n';
}

// Line ends other than CR LF: each needs one character more.
qsizetype countOtherLineEnds(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isCrLfAt(text.data(), text.size(), i))
            ++i;
        else if (isLineEnd(text[i]))
            ++count;
    }
    return count;
}

} // namespace

QString toCrLf(QString text)
{
    const qsizetype growth = countOtherLineEnds(text);
    if (growth == 0)
        return text;
    // Grows the one buffer and moves the text back to front, each line end becoming CR LF.
    qsizetype from = text.size();
    text.resize(from + growth);
    QChar* data = text.data();
    for (qsizetype to = text.size(); from > 0;) {
        const QChar c = data[--from];
        if (!isLineEnd(c)) {
            data[--to] = c;
            continue;
        }
        if (c == u'\n' && from > 0 && data[from - 1] == u'\r')
            --from;
        data[--to] = u'\n';
        data[--to] = u'\r';
    }
    return text;
}

QString toNewlines(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r')
            continue;
        out.append(text.mid(runStart, i - runStart));
        out.append(u'\n');
        if (i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    out.append(text.mid(runStart));
    return out;
}

} // namespace pennoro::lineends
