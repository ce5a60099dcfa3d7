#include "platform/cp932codec.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define PENNORO_HAVE_ICONV 1
#endif

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

#ifdef PENNORO_HAVE_ICONV
// The C library's own conversion, independent of ICU: the bytes, or none without a full mapping.
std::optional<QByteArray> systemConvert(iconv_t handle, QByteArrayView input)
{
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = size_t(input.size());
    char out[16];
    char* outPtr = out;
    size_t outLeft = sizeof out;
    if (iconv(handle, &in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
        return std::nullopt;
    return QByteArray(out, outPtr - out);
}
#endif

// Which ways a case of convert() goes.
constexpr int Writes = 1, Reads = 2, Both = Writes | Reads;

} // namespace

class TestCp932Codec : public QObject {
    Q_OBJECT

private slots:
    // What the code page cannot hold is written as a reference, never replaced, dropped or
    // best-fitted; bytes that are not code page 932 read as U+FFFD, each counted.
    void convert_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("count"); // references written, or sequences not read
        // Single characters and pairs of bytes are checked against the C library below.
        const QChar r = QChar::ReplacementCharacter;
        // clang-format off
        QTest::newRow("HTML line") << Both << u"<B>ﾃｷｽﾄ漢字①髙～\\~</B>\r\n"_s << QByteArray("<B>\xC3\xB7\xBD\xC4\x8A\xBF\x8E\x9A\x87\x40\xFB\xFC\x81\x60\\~</B>\r\n") << qsizetype(0);
        QTest::newRow("best fit only, or read back as another, after a lone surrogate") << Writes << QChar(0xD83D) + u"¥‾"_s + QChar(0xF86F) << QByteArray("&#65533;&#165;&#8254;&#63599;") << qsizetype(4);
        // ICU's own handlers drop these ignorable characters without a word.
        QTest::newRow("ignorables") << Writes << u"👨\u200D👩\uFE0F\uFEFF"_s << QByteArray("&#128104;&#8205;&#128105;&#65039;&#65279;") << qsizetype(5);
        QTest::newRow("lone and reversed surrogates, pairs beside ASCII exceptions") << Writes << QString(QChar(0xDE00)) + QChar(0xD83D) + u"\x1A😀\x7F😀"_s + QChar(0xD83D) << QByteArray("&#65533;&#65533;\x1A&#128512;\x7F&#128512;&#65533;") << qsizetype(5);
        // Many references overflow the first output buffer; none may be lost or cut.
        QTest::newRow("references in bulk") << Writes << u"😀あ¥\x1A"_s.repeated(50'000) << QByteArray("&#128512;\x82\xA0&#165;\x1A").repeated(50'000) << qsizetype(100'000);
        QTest::newRow("lead byte cut off at the end") << Reads << u"a"_s + r << QByteArray("a\x82") << qsizetype(1);
        // The byte after a lead byte that is no trail byte is read on its own.
        QTest::newRow("lead byte before a single byte") << Reads << r + u" "_s + r + u"\x7F"_s + r + QChar(0) + u"y"_s << QByteArray("\x81 \x81\x7F\x81\0y", 7) << qsizetype(3);
        // After a lead byte whose pair is no character, an ASCII byte is text of its own.
        QTest::newRow("lead byte before ASCII that could trail it") << Reads << u"A"_s + r + u"B"_s + r + u"@"_s + r + u"~"_s + r + u"P"_s << QByteArray("A\x82" "B\x85\x40\x85\x7E\xFC\x50") << qsizetype(4);
        QTest::newRow("unassigned pairs, bytes with no meaning") << Reads << QString(8, r) << QByteArray("\x85\x80\x85\xFC\xEB\xA0\x80\xA0\xFD\xFE\xFF") << qsizetype(8);
        QTest::newRow("UTF-8 mark") << Reads << r + u"ｿ"_s << QByteArray("\xEF\xBB\xBF") << qsizetype(1);
        // clang-format on
    }

    void convert()
    {
        QFETCH(int, way);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, count);
        if (way & Writes) {
            const Result<cp932::Encoded> encoded = cp932::encode(text);
            QVERIFY(encoded.ok());
            QCOMPARE(encoded.value().bytes, bytes);
            QCOMPARE(encoded.value().referenced, count);
        }
        if (way & Reads) {
            const Result<cp932::Decoded> decoded = cp932::decode(bytes);
            QVERIFY(decoded.ok());
            QCOMPARE(decoded.value().text, text);
            QCOMPARE(decoded.value().invalid, count);
        }
    }

    // Reading agrees with the C library for every one- and two-byte sequence; writing for every
    // character that round-trips there (ASCII's 1A, 1C and 7F too, which ICU's table rotates) and
    // for the JIS forms, which Linux input methods type, written as their Windows forms; the rest
    // (best fit, "¥" to "\") is a reference.
    void agreesWithSystemTables()
    {
#ifndef PENNORO_HAVE_ICONV
        QSKIP("no iconv on this system");
#else
        const std::unique_ptr<void, int (*)(iconv_t)> reader(iconv_open("UTF-16LE", "CP932"),
                                                             iconv_close);
        const std::unique_ptr<void, int (*)(iconv_t)> writer(iconv_open("CP932", "UTF-16LE"),
                                                             iconv_close);
        if (reader.get() == iconv_t(-1) || writer.get() == iconv_t(-1))
            QSKIP("the C library has no CP932 tables");
        for (int first = 0; first < 0x100; ++first) {
            for (int second = -1; second < (first >= 0x80 ? 0x100 : 0); ++second) {
                const QByteArray bytes =
                    QByteArray(1, char(first)) + (second < 0 ? "" : QByteArray(1, char(second)));
                const std::optional<QByteArray> expected = systemConvert(reader.get(), bytes);
                const QString text = cp932::decode(bytes).value().text;
                QVERIFY2(!expected || QByteArrayView(reinterpret_cast<const char*>(text.utf16()),
                                                     text.size() * 2) == *expected,
                         bytes.toHex().constData());
            }
        }
        constexpr std::array<char32_t, 7> jisForms{0x301C, 0x2212, 0x2016, 0x2014,
                                                   0xA2,   0xA3,   0xAC};
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const auto unit = char16_t(c);
            const QByteArrayView utf16(reinterpret_cast<const char*>(&unit), 2);
            const std::optional<QByteArray> bytes = systemConvert(writer.get(), utf16);
            const bool roundTrips =
                bytes && systemConvert(reader.get(), *bytes) == utf16.toByteArray();
            const bool jisForm = std::find(jisForms.begin(), jisForms.end(), c) != jisForms.end();
            QVERIFY2(!jisForm || bytes, qPrintable(QString::number(c, 16)));
            const QByteArray expected =
                roundTrips || jisForm ? *bytes : "&#" + QByteArray::number(uint(c)) + ';';
            QVERIFY2(cp932::encode(QStringView(&unit, 1)).value().bytes == expected,
                     qPrintable(QString::number(c, 16)));
        }
#endif
    }
};

QTEST_APPLESS_MAIN(TestCp932Codec)
#include "tst_cp932codec.moc"
