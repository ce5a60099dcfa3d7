#include "platform/lineends.h"

#include <algorithm>

namespace pennoro::lineends {

namespace {

bool isWidgetBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QString toCrLf(QString&& widgetText)
{
    QString text = std::move(widgetText);
    const qsizetype breaks = std::count_if(text.cbegin(), text.cend(), isWidgetBreak);
    if (breaks == 0)
        return text;
    // Grows the one buffer and moves the text back to front, each break becoming two characters.
    qsizetype from = text.size();
    text.resize(from + breaks);
    QChar* data = text.data();
    for (qsizetype to = text.size(); from > 0;) {
        const QChar c = data[--from];
        if (isWidgetBreak(c)) {
            data[--to] = u'\n';
            data[--to] = u'\r';
        } else {
            data[--to] = c;
        }
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
