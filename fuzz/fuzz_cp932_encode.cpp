// Any text, taken from the input as UTF-16 code units, lone surrogates included, through the code
// page 932 writer: the bytes are always valid code page 932, and reading them back gives the text
// with exactly the characters the code page cannot hold written as numeric character references
// "&#N;" (a lone surrogate as the reference of U+FFFD), and the seven JIS forms that Linux input
// methods type written as their Windows forms. Every other character the code page can hold comes
// back unchanged. Which characters it can hold is learnt one character at a time; the whole text
// must agree with that, whatever the neighbours.

#include "fuzzcheck.h"
#include "platform/cp932codec.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace pennoro;

namespace {

// The characters written as another, and what they read back as.
const QHash<char32_t, char32_t> windowsForms{{0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225},
                                             {0x2014, 0x2015}, {0xA2, 0xFFE0},   {0xA3, 0xFFE1},
                                             {0xAC, 0xFFE2}};

// What one character (one code point, or one lone surrogate) reads back as once written.
QString writtenAlone(QStringView character, char32_t codePoint)
{
    static QHash<char32_t, QString> known;
    if (const auto it = known.constFind(codePoint); it != known.cend())
        return *it;

    const Result<cp932::Encoded> result = cp932::encode(character);
    FUZZ_CHECK(result.ok());
    const cp932::Encoded& encoded = result.value();
    QString readBack;
    if (encoded.referenced == 0) {
        FUZZ_CHECK(encoded.bytes.size() == 1 || encoded.bytes.size() == 2);
        if (codePoint < 0x80) // ASCII is written as itself
            FUZZ_CHECK(encoded.bytes == QByteArray(1, char(codePoint)));
        readBack = cp932::decode(encoded.bytes).value().text;
        const char32_t expected = windowsForms.value(codePoint, codePoint);
        FUZZ_CHECK(readBack == QStringView(QChar::fromUcs4(expected)));
    } else {
        FUZZ_CHECK(encoded.referenced == 1);
        FUZZ_CHECK(codePoint >= 0x80);
        const char32_t shown =
            QChar::isSurrogate(codePoint) ? char32_t(QChar::ReplacementCharacter) : codePoint;
        readBack = QStringLiteral("&#%1;").arg(uint(shown));
        FUZZ_CHECK(encoded.bytes == readBack.toLatin1());
    }
    known.insert(codePoint, readBack);
    return readBack;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, size / 2 * 2); // little-endian code units, as x86 holds them

    const Result<cp932::Encoded> written = cp932::encode(text);
    FUZZ_CHECK(written.ok());
    const cp932::Encoded& encoded = written.value();
    const Result<cp932::Decoded> read = cp932::decode(encoded.bytes);
    FUZZ_CHECK(read.ok());
    const cp932::Decoded& decoded = read.value();
    FUZZ_CHECK(decoded.invalid == 0);

    QString expected;
    qsizetype references = 0;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const char32_t codePoint =
            pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const QStringView character = QStringView(text).sliced(i, length);
        const QString alone = writtenAlone(character, codePoint);
        if (alone != character && !windowsForms.contains(codePoint))
            ++references;
        expected += alone;
        i += length;
    }
    FUZZ_CHECK(decoded.text == expected);
    FUZZ_CHECK(encoded.referenced == references);
    if (references == 0 && std::none_of(text.cbegin(), text.cend(),
                                        [](QChar c) { return windowsForms.contains(c.unicode()); }))
        FUZZ_CHECK(decoded.text == text);
    return 0;
}
