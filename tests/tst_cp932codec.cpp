#include "platform/cp932codec.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <optional>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define PENNORO_HAVE_ICONV 1
#endif

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

QString fromCodePoint(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1);
}

// Every byte sequence of one or two bytes that reads as a character, with that character.
QList<QPair<QByteArray, QString>> everyValidSequence()
{
    QList<QPair<QByteArray, QString>> result;
    auto tryBytes = [&](const QByteArray& bytes) {
        const cp932::Decoded decoded = cp932::decodeCounted(bytes);
        if (decoded.invalid == 0 && decoded.text.size() == 1)
            result.append({bytes, decoded.text});
    };
    for (int first = 0; first < 0x100; ++first) {
        const QByteArray lead(1, char(first));
        tryBytes(lead);
        for (int second = 0; first >= 0x80 && second < 0x100; ++second)
            tryBytes(lead + char(second));
    }
    return result;
}

#ifdef PENNORO_HAVE_ICONV
// The C library's own code page 932 tables, an implementation independent of ICU.
class SystemConverter {
public:
    SystemConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~SystemConverter()
    {
        if (valid())
            iconv_close(handle_);
    }
    bool valid() const { return handle_ != iconv_t(-1); }

    // The converted bytes, or nothing when the input has no complete mapping.
    std::optional<QByteArray> convert(QByteArrayView input)
    {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = size_t(input.size());
        char out[16];
        char* outPtr = out;
        size_t outLeft = sizeof out;
        if (iconv(handle_, &in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
            return std::nullopt;
        return QByteArray(out, outPtr - out);
    }

private:
    iconv_t handle_;
};

QByteArrayView utf16Bytes(const char16_t& unit)
{
    return {reinterpret_cast<const char*>(&unit), 2};
}
#endif

} // namespace

class TestCp932Codec : public QObject {
    Q_OBJECT

private slots:
    void knownCharacters_data();
    void knownCharacters();
    void unencodableBecomeReferences_data();
    void unencodableBecomeReferences();
    void referencesInBulk();
    void invalidBytesReadAsReplacement_data();
    void invalidBytesReadAsReplacement();
    void randomBytesAreSafe();
    void everyMappedCharacterRoundTrips();
    void agreesWithSystemTables();
};

// Byte-exact cases that a wrong table or a best-fit mapping would break, in both directions.
void TestCp932Codec::knownCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("circled one") << u"①"_s << QByteArray("\x87\x40");
    QTest::newRow("IBM kanji") << u"髙"_s << QByteArray("\xFB\xFC");
    QTest::newRow("full-width tilde") << u"～"_s << QByteArray("\x81\x60");
    QTest::newRow("half-width katakana") << u"ｱ"_s << QByteArray("\xB1");
    QTest::newRow("full-width A") << u"Ａ"_s << QByteArray("\x82\x60");
    QTest::newRow("backslash") << u"\\"_s << QByteArray("\x5C");
    QTest::newRow("tilde") << u"~"_s << QByteArray("\x7E");
    QTest::newRow("hiragana") << u"あ"_s << QByteArray("\x82\xA0");
    QTest::newRow("user-defined area") << fromCodePoint(0xE000) << QByteArray("\xF0\x40");
    QTest::newRow("NUL") << QString(QChar(0)) << QByteArray(1, '\0');
    // ICU's table rotates these three control codes; the code page keeps them as ASCII.
    QTest::newRow("control 1A") << QString(QChar(0x1A)) << QByteArray("\x1A");
    QTest::newRow("control 1C") << QString(QChar(0x1C)) << QByteArray("\x1C");
    QTest::newRow("delete") << QString(QChar(0x7F)) << QByteArray("\x7F");
    QTest::newRow("HTML line") << u"<B>ﾃｷｽﾄ漢字</B>\r\n"_s
                               << QByteArray("<B>\xC3\xB7\xBD\xC4\x8A\xBF\x8E\x9A</B>\r\n");
}

void TestCp932Codec::knownCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.referenced, qsizetype(0));
    QVERIFY(encoded.failure.isEmpty());
    const cp932::Decoded decoded = cp932::decodeCounted(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.invalid, qsizetype(0));
}

// What the code page cannot hold is kept as a reference, never replaced, dropped or best-fitted.
void TestCp932Codec::unencodableBecomeReferences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("referenced");
    QTest::newRow("yen sign, not backslash") << u"¥"_s << QByteArray("&#165;") << qsizetype(1);
    QTest::newRow("overline, not tilde") << u"‾"_s << QByteArray("&#8254;") << qsizetype(1);
    QTest::newRow("wave dash, not tilde") << u"〜"_s << QByteArray("&#12316;") << qsizetype(1);
    QTest::newRow("minus sign") << u"−"_s << QByteArray("&#8722;") << qsizetype(1);
    QTest::newRow("reads back as numero sign")
        << fromCodePoint(0xF86F) << QByteArray("&#63599;") << qsizetype(1);
    QTest::newRow("emoji between text")
        << u"a😀b"_s << QByteArray("a&#128512;b") << qsizetype(1);
    QTest::newRow("two emoji") << u"😀😀"_s << QByteArray("&#128512;&#128512;") << qsizetype(2);
    // ICU's own handlers drop these ignorable characters without a word.
    QTest::newRow("zero width joiner")
        << fromCodePoint(0x1F468) + QChar(0x200D) + fromCodePoint(0x1F469)
        << QByteArray("&#128104;&#8205;&#128105;") << qsizetype(3);
    QTest::newRow("variation selector") << QString(QChar(0x2764)) + QChar(0xFE0F)
                                         << QByteArray("&#10084;&#65039;") << qsizetype(2);
    QTest::newRow("byte-order mark") << QString(QChar(0xFEFF)) << QByteArray("&#65279;")
                                      << qsizetype(1);
    QTest::newRow("lone high surrogate")
        << QString(QChar(0xD83D)) + u"x"_s << QByteArray("&#65533;x") << qsizetype(1);
    QTest::newRow("lone low surrogate")
        << u"x"_s + QChar(0xDE00) << QByteArray("x&#65533;") << qsizetype(1);
    QTest::newRow("reversed pair") << QString(QChar(0xDE00)) + QChar(0xD83D)
                                   << QByteArray("&#65533;&#65533;") << qsizetype(2);
    QTest::newRow("high surrogate before yen")
        << QString(QChar(0xD83D)) + u"¥"_s << QByteArray("&#65533;&#165;") << qsizetype(2);
    QTest::newRow("high surrogate before control code")
        << QString(QChar(0xD83D)) + QChar(0x1A) << QByteArray("&#65533;\x1A") << qsizetype(1);
    QTest::newRow("reference beside exception")
        << u"😀"_s + QChar(0x7F) + u"😀"_s << QByteArray("&#128512;\x7F&#128512;") << qsizetype(2);
}

void TestCp932Codec::unencodableBecomeReferences()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, referenced);
    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.referenced, referenced);
}

// Many references overflow the first output buffer; none may be lost or cut.
void TestCp932Codec::referencesInBulk()
{
    QString text;
    QByteArray expected;
    for (int i = 0; i < 50'000; ++i) {
        text += u"😀あ¥"_s + QChar(0x1A);
        expected += "&#128512;\x82\xA0&#165;\x1A";
    }
    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.referenced, qsizetype(100'000));
    QVERIFY(encoded.bytes == expected);
}

void TestCp932Codec::invalidBytesReadAsReplacement_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("invalid");
    const QChar r = QChar::ReplacementCharacter;
    QTest::newRow("lead byte cut off at the end") << QByteArray("a\x82") << u"a"_s + r
                                                  << qsizetype(1);
    QTest::newRow("lead byte then ASCII") << QByteArray("\x81 a") << r + u" a"_s << qsizetype(1);
    QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << QString(r) << qsizetype(1);
    QTest::newRow("bytes with no meaning")
        << QByteArray("\x80\xA0\xFD\xFE\xFF") << QString(5, r) << qsizetype(5);
    QTest::newRow("NUL inside a pair")
        << QByteArray("x\x81\0y", 4) << u"x"_s + r + QChar(0) + u"y"_s << qsizetype(1);
    QTest::newRow("lead byte before DEL") << QByteArray("\x81\x7F") << QString(r) + QChar(0x7F)
                                          << qsizetype(1);
    QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBF") << r + u"ｿ"_s << qsizetype(1);
}

void TestCp932Codec::invalidBytesReadAsReplacement()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(qsizetype, invalid);
    const cp932::Decoded decoded = cp932::decodeCounted(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.invalid, invalid);
    QCOMPARE(cp932::decode(bytes), text);
}

void TestCp932Codec::randomBytesAreSafe()
{
    QRandomGenerator random(932);
    QByteArray bytes(1 << 20, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    const cp932::Decoded decoded = cp932::decodeCounted(bytes);
    QVERIFY(decoded.invalid > 0);
    QVERIFY(decoded.text.size() <= bytes.size());
    // What was read is written back as it reads, replacement characters as references.
    const cp932::Encoded encoded = cp932::encode(decoded.text);
    QVERIFY(encoded.referenced >= decoded.invalid);
    QVERIFY(encoded.failure.isEmpty());
}

// Every character the code page holds, in one text: written without references and read back
// unchanged, through the converter's bulk path.
void TestCp932Codec::everyMappedCharacterRoundTrips()
{
    QSet<QChar> seen;
    QString text;
    for (const auto& [bytes, character] : everyValidSequence()) {
        if (!seen.contains(character[0])) {
            seen.insert(character[0]);
            text += character;
        }
    }
    QVERIFY2(text.size() > 9000, qPrintable(QString::number(text.size())));
    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.referenced, qsizetype(0));
    QCOMPARE(cp932::decode(encoded.bytes), text);
}

// Checked against the C library's tables: reading agrees for every one- and two-byte sequence;
// writing agrees for every character that the C library itself reads back unchanged, and the
// characters it maps only one way (best fit, such as "¥" to "\") are references here.
void TestCp932Codec::agreesWithSystemTables()
{
#ifndef PENNORO_HAVE_ICONV
    QSKIP("no iconv on this system");
#else
    SystemConverter reader("UTF-16LE", "CP932");
    SystemConverter writer("CP932", "UTF-16LE");
    if (!reader.valid() || !writer.valid())
        QSKIP("the C library has no CP932 tables");
    for (int first = 0; first < 0x100; ++first) {
        for (int second = -1; second < (first >= 0x80 ? 0x100 : 0); ++second) {
            QByteArray bytes(1, char(first));
            if (second >= 0)
                bytes.append(char(second));
            const std::optional<QByteArray> expected = reader.convert(bytes);
            if (!expected)
                continue;
            const QString text = cp932::decode(bytes);
            QVERIFY2(QByteArrayView(reinterpret_cast<const char*>(text.utf16()),
                                    text.size() * 2) == *expected,
                     bytes.toHex().constData());
        }
    }
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const auto unit = char16_t(c);
        const std::optional<QByteArray> bytes = writer.convert(utf16Bytes(unit));
        const bool roundTrips = bytes && reader.convert(*bytes) == utf16Bytes(unit).toByteArray();
        const cp932::Encoded encoded = cp932::encode(QStringView(&unit, 1));
        if (roundTrips) {
            QVERIFY2(encoded.bytes == *bytes, qPrintable(QString::number(c, 16)));
        } else {
            QVERIFY2(encoded.bytes == "&#" + QByteArray::number(uint(c)) + ';',
                     qPrintable(QString::number(c, 16)));
        }
    }
#endif
}

QTEST_APPLESS_MAIN(TestCp932Codec)
#include "tst_cp932codec.moc"
