// A long memo's middle lines go into shared paragraphs: the same lines, never more than the most
// to a paragraph, on any memo.
//
// Input: one byte choosing the most lines to a paragraph (1 to 16), then the memo as UTF-8.

#include "fuzzcheck.h"
#include "load/linejoining.h"
#include "platform/lineends.h"

#include <QRegularExpression>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace pennoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int most = 1 + data[0] % 16;
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // A line separator in the memo itself is not one the joining put there.
    text.replace(QChar::LineSeparator, u' ');
    const QString joined = linejoining::joinLines(text, most);
    FUZZ_CHECK(QString(joined).replace(QChar::LineSeparator, u'\n') == lineends::toNewlines(text));
    static const QRegularExpression paragraphEnd(QStringLiteral("[\n\u2029\ufdd0\ufdd1]"));
    for (const QString& paragraph : joined.split(paragraphEnd))
        FUZZ_CHECK(paragraph.count(QChar::LineSeparator) < most);
    return 0;
}
