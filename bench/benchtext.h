#pragma once

#include "platform/cp932codec.h"

#include <QRandomGenerator>
#include <QStringList>

#include <vector>

namespace pennoro::bench {

// Realistic memo text of about the given size in code page 932 bytes: pieces of a hand-written
// Japanese page (tags, sentences, half-width katakana), now and then a character the code page
// cannot hold. The same seed gives the same text on every run.
inline QString japaneseHtml(qsizetype bytes)
{
    const QStringList pieces = {
        u"<P>"_qs,
        u"</P>\r\n"_qs,
        u"<B>"_qs,
        u"</B>"_qs,
        u"<BR>\r\n"_qs,
        u"<HR>\r\n"_qs,
        u"<FONT COLOR=\"#FF0000\">"_qs,
        u"</FONT>"_qs,
        u"<A HREF=\"http://www.example.org/\">"_qs,
        u"</A>"_qs,
        u"今日は天気が良いので、近所の公園まで散歩に出かけました。"_qs,
        u"ホームページを作成しています。"_qs,
        u"ご意見・ご感想はメールでお願いします。"_qs,
        u"新着情報：２０２４年４月１日　更新しました！"_qs,
        u"ﾃｷｽﾄﾌｧｲﾙ"_qs,
        u"ｶﾀｶﾅ"_qs,
        u"Pennoro Ver 2.0"_qs,
        u"①髙～Ａ"_qs,
        u"😀"_qs,
        u"¥1,000"_qs,
        u" "_qs,
    };
    std::vector<qsizetype> sizes;
    for (const QString& piece : pieces)
        sizes.push_back(cp932::encode(piece).value().bytes.size());
    QRandomGenerator random(2024);
    QString text;
    text.reserve(bytes);
    qsizetype written = 0;
    while (written < bytes) {
        // Rare pieces (the last three) appear about once in a hundred.
        qsizetype index = random.bounded(qsizetype(pieces.size()) - 3);
        if (random.bounded(100) == 0)
            index = pieces.size() - 1 - random.bounded(3);
        text += pieces[index];
        written += sizes[size_t(index)];
    }
    return text;
}

// One line without a break opportunity, of the given length in characters (and code page 932
// bytes): a long hexadecimal number.
inline QString unbreakableLine(qsizetype length)
{
    QString text(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        text[i] = QLatin1Char("0123456789abcdef"[(i * 7 + i / 5) % 16]);
    return text;
}

// One line of HTML of the given length in characters (and code page 932 bytes), with spaces but
// without a line end: the same short paragraph over and over.
inline QString htmlLine(qsizetype length)
{
    const QString piece = u"<p class=\"a\">text</p>"_qs;
    QString text;
    text.reserve(length + piece.size());
    while (text.size() < length)
        text += piece;
    text.truncate(length);
    return text;
}

// Short lines of 34 bytes in code page 932 each, numbered, up to about the given size: what costs
// the most memory per byte, every line a paragraph of its own.
inline QString shortLines(qsizetype bytes)
{
    QString text;
    for (qsizetype line = 0; text.size() < bytes; ++line)
        text += u"<P>行 %1 ｱｲｳ text here</P>\r\n"_qs.arg(line, 8, 10, QChar(u'0'));
    return text;
}

// One line of Japanese sentences without spaces or line ends, of about the given size in code
// page 932 bytes (two for each character).
inline QString japaneseLine(qsizetype bytes)
{
    const QString sentences =
        u"今日は天気が良いので、近所の公園まで散歩に出かけました。"
        u"ホームページを作成しています。ご意見・ご感想はメールでお願いします。"_qs;
    QString text;
    text.reserve(bytes / 2 + sentences.size());
    while (text.size() < bytes / 2)
        text += sentences;
    text.truncate(bytes / 2);
    return text;
}

} // namespace pennoro::bench
