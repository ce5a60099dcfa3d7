#include "app/lineends.h"

namespace pennoro::lineends {

namespace {

bool isWidgetBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

} // namespace

QString toCrLf(QStringView widgetText)
{
    QString out;
    out.reserve(widgetText.size() + widgetText.size() / 32 + 16);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < widgetText.size(); ++i) {
        if (!isWidgetBreak(widgetText[i]))
            continue;
        out.append(widgetText.mid(runStart, i - runStart));
        out.append(crlf);
        runStart = i + 1;
    }
    out.append(widgetText.mid(runStart));
    return out;
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
