// The fast way of breaking a paragraph into lines gives exactly the lines of the plain way, on
// random text in the memo's font and a proportional one, with or without a word being composed
// in it, at any width: the same starts and lengths, heights and widths. Long unbreakable runs take
// the fast way and its proof; the rest (spaces, tabs, CJK, marks, emoji, Arabic, Thai) is what can
// stop the word pass or change a line's height on the way.
//
// Input: one byte choosing the font and its size and whether a word is being composed, two bytes
// for the width, two for where that word stands if there is one, then pieces of text, each a byte
// choosing its kind and what follows for its length or characters.

#include "common/fonts.h"
#include "fuzzcheck.h"
#include "layout/wraplines.h"

#include <QGuiApplication>
#include <QTextCharFormat>
#include <QTextLayout>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

// Enough for a run much longer than the fast way needs, and still quick to lay out.
constexpr qsizetype mostUnits = 12000;

class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return at_ >= bytes_.size(); }
    unsigned byte() { return atEnd() ? 0 : bytes_[at_++]; }
    unsigned twoBytes() { return byte() | byte() << 8; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

void append(QString& text, std::u16string_view pool, unsigned pick)
{
    text += QChar(pool[pick % pool.size()]);
}

QString textFrom(Input& input)
{
    static constexpr std::u16string_view ascii = u"abcdefghijklmnopqrstuvwxyzABCXYZ0123456789";
    static constexpr std::u16string_view punctuation = u".,;:-_/\\()[]<>\"'=&!?#%";
    static constexpr std::u16string_view cjk = u"漢字仮名あいうアイウｱｲｳ、。「」ー・！";
    static constexpr std::u16string_view marks = u"\u0301\u0308\u0323\u3099\u309A\u20DD";
    static constexpr std::u16string_view spaces = u" \t\u00A0\u3000\u200B\u2009";
    static constexpr std::u16string_view arabic = u"\u0627\u0644\u0639\u0631\u0628\u064A\u0629";
    static constexpr std::u16string_view thai = u"\u0E20\u0E32\u0E29\u0E32\u0E44\u0E17\u0E22";
    // Letters between which a line does not break either, some from other fonts, taller or
    // lower than the memo's, some outside the first plane.
    static constexpr char32_t letters[] = {0x03B1, 0x0434,  0x05E9,  0x0639, 0x0915,
                                           0x00E9, 0x1D400, 0x10330, 0x2C00, 0x0F40};
    static constexpr char32_t emoji[] = {0x1F600, 0x1F44D, 0x1F3FD, 0x200D,  0x2764,
                                         0xFE0F,  0x1F468, 0x1F469, 0x1F1EF, 0x1F1F5};
    QString text;
    while (!input.atEnd() && text.size() < mostUnits) {
        const unsigned kind = input.byte();
        switch (kind % 12) {
        case 0: { // a word
            const unsigned length = 1 + input.byte() % 12;
            for (unsigned i = 0; i < length; ++i)
                append(text, ascii, input.byte());
            break;
        }
        case 1: // an unbreakable run of letters and digits, around the fast way's threshold
        case 2: {
            const unsigned length = 800 + input.twoBytes() % 4000;
            const unsigned seed = input.byte();
            for (unsigned i = 0; i < length; ++i)
                text += QChar(ascii[(seed + i * (seed | 1) + i / 7) % ascii.size()]);
            break;
        }
        case 3: { // a long run of something else: a repeated short piece
            const unsigned length = 800 + input.twoBytes() % 4000;
            QString piece;
            for (unsigned i = 1 + input.byte() % 4; i > 0; --i) {
                const unsigned from = input.byte();
                if (from % 4 == 3) {
                    const char32_t letter = letters[input.byte() % std::size(letters)];
                    piece += QString::fromUcs4(&letter, 1);
                } else {
                    append(piece,
                           from % 4 == 0   ? punctuation
                           : from % 4 == 1 ? marks
                                           : ascii,
                           input.byte());
                }
            }
            const qsizetype goal = text.size() + length;
            while (text.size() < goal)
                text += piece;
            break;
        }
        case 4:
            append(text, punctuation, input.byte());
            break;
        case 5:
            append(text, cjk, input.byte());
            break;
        case 6:
            append(text, marks, input.byte());
            break;
        case 7: // spaces and tabs, a few of one kind at a time
            for (unsigned i = 1 + input.byte() % 3; i > 0; --i)
                append(text, spaces, kind / 12);
            break;
        case 8:
            text += QString::fromUcs4(&emoji[input.byte() % std::size(emoji)], 1);
            break;
        case 9:
            append(text, arabic, input.byte());
            break;
        case 10:
            append(text, thai, input.byte());
            break;
        default: // a long run of one CJK character, which breaks anywhere
            text += QString(qsizetype(200 + input.twoBytes() % 2000), QChar(cjk[kind % 3]));
            break;
        }
    }
    return text.left(mostUnits);
}

struct Line {
    int start;
    int length;
    qreal ascent;
    qreal descent;
    qreal leading;
    qreal width;
    bool operator==(const Line&) const = default;
};

// A word being composed, shown underlined inside the text as the memo shows it.
struct Composition {
    qsizetype at = 0;
    QString word;
};

QList<Line> layOut(const QString& text, const Composition& composing, const QFont& font,
                   qreal width, bool plainly)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    if (!composing.word.isEmpty()) {
        layout.setPreeditArea(int(composing.at), composing.word);
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        layout.setFormats({{int(composing.at), int(composing.word.size()), underlined}});
    }
    if (plainly)
        wraplines::breakLinesPlainly(layout, width);
    else
        wraplines::breakLines(layout, text, width);
    QList<Line> lines;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines.append({line.textStart(), line.textLength(), line.ascent(), line.descent(),
                      line.leading(), line.naturalTextWidth()});
    }
    return lines;
}

void report(const QString& text, const Composition& composing, const QFont& font, qreal width,
            const QList<Line>& fast, const QList<Line>& plain)
{
    if (!composing.word.isEmpty())
        std::fprintf(stderr, "composing \"%s\" at %lld\n", qPrintable(composing.word),
                     static_cast<long long>(composing.at));
    std::fprintf(stderr, "font %s, width %g, %lld units, lines %lld against %lld\ntext: \"",
                 qPrintable(font.toString()), width, static_cast<long long>(text.size()),
                 static_cast<long long>(fast.size()), static_cast<long long>(plain.size()));
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'"' && c != u'\\')
            std::fputc(char(c.unicode()), stderr);
        else
            std::fprintf(stderr, "\\u%04X", unsigned(c.unicode()));
    }
    std::fprintf(stderr, "\"\n");
    for (qsizetype i = 0; i < std::min(fast.size(), plain.size()); ++i) {
        if (fast[i] == plain[i])
            continue;
        const auto print = [](const char* name, const Line& l) {
            std::fprintf(stderr, "%s: %d+%d %g/%g/%g %g\n", name, l.start, l.length, l.ascent,
                         l.descent, l.leading, l.width);
        };
        std::fprintf(stderr, "first different line %lld\n", static_cast<long long>(i));
        print("fast ", fast[i]);
        print("plain", plain[i]);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept until the process ends: fonts need the application for as long as inputs come.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input({data, size});
    const unsigned look = input.byte();
    static const qreal sizes[] = {9.75, 12, 7.5, 20};
    const qreal pointSize = sizes[look / 2 % std::size(sizes)];
    const QFont font = look % 2 == 0 ? fonts::msGothic(pointSize) : fonts::msPGothic(pointSize);
    // Thirds of a pixel, from none to wider than a run that takes the fast way.
    const qreal width = input.twoBytes() / 3.0;
    Composition composing;
    if (look & 8) {
        static const QString words[] = {u"にほんご"_s, u"ﾆﾎﾝｺﾞ"_s, u"abc"_s, u"漢字\u3099"_s};
        composing.word = words[look / 16 % std::size(words)];
        composing.at = input.twoBytes();
    }
    const QString text = textFrom(input);
    composing.at = std::min(composing.at, text.size());

    const QList<Line> fast = layOut(text, composing, font, width, false);
    const QList<Line> plain = layOut(text, composing, font, width, true);
    if (fast != plain) {
        report(text, composing, font, width, fast, plain);
        FUZZ_CHECK(fast == plain);
    }
    return 0;
}
