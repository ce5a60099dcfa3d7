#include "platform/cp932codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <memory>
#include <utility>

namespace pennoro::cp932 {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's name for Microsoft's code page 932. Fallbacks off: ICU would otherwise write U+00A5 "¥"
// as 0x5C, which reads back as "\". The few fallbacks wanted are in windowsForms below.
Converter openConverter(UErrorCode& status)
{
    Converter converter(ucnv_open("windows-31j", &status));
    if (U_SUCCESS(status))
        ucnv_setFallback(converter.get(), false);
    return converter;
}

Failure conversionFailure(UErrorCode status)
{
    return {{},
            QStringLiteral("ｺｰﾄﾞﾍﾟｰｼﾞ932の変換に失敗しました(ICU: %1)")
                .arg(QString::fromLatin1(u_errorName(status)))};
}

// Converts one character with ICU alone, for learning ICU's table below. Empty when ICU has no
// mapping (it also reports ignorable characters such as U+200D as converted to nothing).
QByteArray icuBytesOf(UConverter* converter, char16_t character)
{
    UErrorCode status = U_ZERO_ERROR;
    char bytes[8];
    const int32_t length = ucnv_fromUChars(converter, bytes, sizeof bytes, &character, 1, &status);
    return U_SUCCESS(status) ? QByteArray(bytes, length) : QByteArray();
}

QString icuTextOf(UConverter* converter, QByteArrayView bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    char16_t text[4];
    const int32_t length =
        ucnv_toUChars(converter, text, 4, bytes.data(), int32_t(bytes.size()), &status);
    return U_SUCCESS(status) ? QString(reinterpret_cast<const QChar*>(text), length) : QString();
}

// What ICU reads a byte 0x00-0x7F as, turned back into that byte's ASCII character: ICU's table
// rotates the control codes 0x1A, 0x1C and 0x7F as IBM code pages do.
struct AsciiRepair {
    std::array<char16_t, 0x80> fromIcu{};
    QByteArray misread; // the bytes concerned
};

const AsciiRepair& asciiRepair()
{
    static const AsciiRepair repair = [] {
        AsciiRepair result;
        for (char16_t c = 0; c < 0x80; ++c)
            result.fromIcu[c] = c;
        UErrorCode status = U_ZERO_ERROR;
        const Converter converter = openConverter(status);
        if (U_FAILURE(status))
            return result;
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        for (int ascii = 0; ascii < 0x80; ++ascii) {
            const char byte = char(ascii);
            const QString read = icuTextOf(converter.get(), QByteArrayView(&byte, 1));
            if (read.size() == 1 && read[0].unicode() < 0x80 && read[0].unicode() != ascii) {
                result.fromIcu[read[0].unicode()] = char16_t(ascii);
                result.misread.append(byte);
            }
        }
        return result;
    }();
    return repair;
}

// Input methods on Linux type the JIS forms of these characters where Windows types the forms
// that code page 932 holds; they are written as the Windows forms, as glibc's CP932 converter and
// Windows itself write them, so that they read back as those rather than as references.
constexpr std::array<std::pair<char16_t, char16_t>, 7> windowsForms{{
    {u'\u301C', u'\uFF5E'}, // wave dash: full-width tilde
    {u'\u2212', u'\uFF0D'}, // minus sign: full-width hyphen-minus
    {u'\u2016', u'\u2225'}, // double vertical line: parallel to
    {u'\u2014', u'\u2015'}, // em dash: horizontal bar
    {u'\u00A2', u'\uFFE0'}, // cent sign: full-width cent sign
    {u'\u00A3', u'\uFFE1'}, // pound sign: full-width pound sign
    {u'\u00AC', u'\uFFE2'}, // not sign: full-width not sign
}};

// The Windows form written for `c`, or 0 when it has none.
char16_t windowsForm(char16_t c)
{
    const auto* found = std::find_if(windowsForms.begin(), windowsForms.end(),
                                     [c](const auto& forms) { return forms.first == c; });
    return found == windowsForms.end() ? u'\0' : found->second;
}

// Characters of the Basic Multilingual Plane that must not reach ICU's encoder: characters below
// U+0080 that ICU writes as another byte (written as their own byte instead), and characters ICU
// writes as bytes that read back as something else, such as U+F86F as "№" (written as references,
// so that nothing the user typed changes silently), and the JIS forms above, which ICU does not
// map. ICU maps no character beyond that plane.
const std::bitset<0x10000>& encoderExceptions()
{
    static const std::bitset<0x10000> exceptions = [] {
        std::bitset<0x10000> result;
        UErrorCode status = U_ZERO_ERROR;
        const Converter converter = openConverter(status);
        if (U_FAILURE(status))
            return result;
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        for (char32_t c = 0; c < 0x10000; ++c) {
            const auto character = char16_t(c);
            if (QChar::isSurrogate(c))
                continue;
            const QByteArray bytes = icuBytesOf(converter.get(), character);
            if (c < 0x80)
                result[c] = bytes != QByteArray(1, char(c));
            else if (!bytes.isEmpty())
                result[c] = icuTextOf(converter.get(), bytes) != QStringView(&character, 1);
        }
        for (const auto& [jisForm, windows] : windowsForms)
            result[jisForm] = true;
        return result;
    }();
    return exceptions;
}

// "&#<decimal>;" for one character; a lone surrogate is no character and stands as U+FFFD.
class Reference {
public:
    explicit Reference(char32_t codePoint)
    {
        if (QChar::isSurrogate(codePoint))
            codePoint = QChar::ReplacementCharacter;
        char* end = std::to_chars(text_ + 2, text_ + sizeof text_ - 1, uint32_t(codePoint)).ptr;
        *end = ';';
        size_ = end + 1 - text_;
    }
    QByteArrayView bytes() const { return {text_, size_}; }

private:
    char text_[16] = {'&', '#'};
    qsizetype size_ = 0;
};

void U_CALLCONV writeReference(const void* context, UConverterFromUnicodeArgs* args,
                               const UChar* /*codeUnits*/, int32_t /*length*/, UChar32 codePoint,
                               UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return; // reset, close or clone: nothing to convert
    const Reference reference{char32_t(codePoint)};
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, reference.bytes().data(), int32_t(reference.bytes().size()), 0,
                           status);
    ++*static_cast<qsizetype*>(const_cast<void*>(context));
}

// ICU takes a lead byte and a byte 0x40-0x7E after it as one pair even where that pair is no
// character. Such a byte is ASCII text of its own, kept as browsers keep it: "A" 82 "B" reads as
// "A", U+FFFD, "B". (None of these bytes is a control code that repairAscii() turns.)
void U_CALLCONV writeReplacement(const void* context, UConverterToUnicodeArgs* args,
                                 const char* codeUnits, int32_t length,
                                 UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return;
    std::array<UChar, 2> replacement{QChar::ReplacementCharacter};
    int32_t written = 1;
    if (length == 2 && static_cast<unsigned char>(codeUnits[1]) < 0x80)
        replacement[written++] = static_cast<unsigned char>(codeUnits[1]);
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, replacement.data(), written, 0, status);
    ++*static_cast<qsizetype*>(const_cast<void*>(context));
}

// Converts a whole run of text in one ICU call, growing `out` (used up to `used`) as references
// need more room.
void encodeRun(UConverter* converter, QStringView run, QByteArray& out, qsizetype& used,
               UErrorCode& status)
{
    const UChar* source = run.utf16();
    const UChar* const sourceEnd = source + run.size();
    for (;;) {
        char* target = out.data() + used;
        ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source, sourceEnd, nullptr,
                         true, &status);
        used = target - out.data();
        if (status != U_BUFFER_OVERFLOW_ERROR)
            return;
        status = U_ZERO_ERROR;
        out.resize(out.size() * 2 + 64);
    }
}

// Places `bytes` at `used`, growing `out` when needed.
void put(QByteArrayView bytes, QByteArray& out, qsizetype& used)
{
    if (out.size() - used < bytes.size())
        out.resize((used + bytes.size()) * 2);
    std::copy(bytes.begin(), bytes.end(), out.data() + used);
    used += bytes.size();
}

void decodeAll(UConverter* converter, QByteArrayView bytes, QString& out, qsizetype& used,
               UErrorCode& status)
{
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    for (;;) {
        UChar* const start = reinterpret_cast<UChar*>(out.data());
        UChar* target = start + used;
        ucnv_toUnicode(converter, &target, start + out.size(), &source, sourceEnd, nullptr, true,
                       &status);
        used = target - start;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            return;
        status = U_ZERO_ERROR;
        out.resize(out.size() * 2 + 64);
    }
}

// Only when the bytes hold one of those control codes: most text has none.
void repairAscii(QByteArrayView bytes, QString& text)
{
    const AsciiRepair& repair = asciiRepair();
    if (std::none_of(repair.misread.begin(), repair.misread.end(),
                     [&](char byte) { return bytes.contains(byte); }))
        return;
    for (QChar& c : text) {
        if (c.unicode() < 0x80)
            c = QChar(repair.fromIcu[c.unicode()]);
    }
}

} // namespace

Result<Encoded> encode(QStringView text)
{
    Encoded result;
    UErrorCode status = U_ZERO_ERROR;
    const Converter converter = openConverter(status);
    if (U_SUCCESS(status))
        ucnv_setFromUCallBack(converter.get(), writeReference, &result.referenced, nullptr, nullptr,
                              &status);
    if (U_FAILURE(status))
        return conversionFailure(status);
    // Most characters take one or two bytes; room for a line end more saves a copy later.
    result.bytes = QByteArray(text.size() * 2 + 16, Qt::Uninitialized);
    qsizetype used = 0;
    const std::bitset<0x10000>& exceptions = encoderExceptions();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size() && U_SUCCESS(status); ++i) {
        const char16_t c = text[i].unicode();
        if (!exceptions[c])
            continue;
        encodeRun(converter.get(), text.sliced(runStart, i - runStart), result.bytes, used, status);
        if (c < 0x80) {
            const char byte = char(c);
            put(QByteArrayView(&byte, 1), result.bytes, used);
        } else if (const char16_t windows = windowsForm(c)) {
            encodeRun(converter.get(), QStringView(&windows, 1), result.bytes, used, status);
        } else {
            put(Reference(c).bytes(), result.bytes, used);
            ++result.referenced;
        }
        runStart = i + 1;
    }
    if (U_SUCCESS(status))
        encodeRun(converter.get(), text.sliced(runStart), result.bytes, used, status);
    if (U_FAILURE(status))
        return conversionFailure(status);
    result.bytes.resize(used);
    return result;
}

Result<Decoded> decode(QByteArrayView bytes)
{
    Decoded result;
    if (bytes.isEmpty())
        return result;
    UErrorCode status = U_ZERO_ERROR;
    const Converter converter = openConverter(status);
    if (U_SUCCESS(status))
        ucnv_setToUCallBack(converter.get(), writeReplacement, &result.invalid, nullptr, nullptr,
                            &status);
    // Every byte reads as at most one UTF-16 unit.
    QString text(bytes.size() + 16, Qt::Uninitialized);
    qsizetype used = 0;
    if (U_SUCCESS(status))
        decodeAll(converter.get(), bytes, text, used, status);
    if (U_FAILURE(status))
        return conversionFailure(status);
    text.resize(used);
    repairAscii(bytes, text);
    result.text = std::move(text);
    return result;
}

} // namespace pennoro::cp932
