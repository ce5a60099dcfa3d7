#include "layout/wraplines.h"

#include <QSet>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <optional>
#include <vector>

namespace pennoro::wraplines {

namespace {

// A line that starts at least this many UTF-16 units before the next place where the word pass
// could stop is laid out breaking anywhere at once; a line closer to it goes the word way, whose
// pass then reads no further than this.
constexpr qsizetype farRun = 1024;

// Characters around which the text layout's word pass may stop for reasons other than a line
// break opportunity: spaces, tabs, separators, controls, format characters, objects; and the
// scripts whose breaks come from a dictionary.
bool stopsTheWordPass(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
        return true;
    default:
        break;
    }
    switch (QChar::script(c)) {
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
    case QChar::Script_Tibetan:
        return true;
    default:
        return c == QChar::ObjectReplacementCharacter || c == QChar::ReplacementCharacter;
    }
}

// Where a word that starts at a given place may end, found going forward through the text.
// The places are a superset of those where the text layout's word pass can stop (every line
// break opportunity and every special character), so a word never ends before the place given.
class WordEnds {
public:
    explicit WordEnds(const QString& text) : text_(text) {}

    // The first place after `from` where the word pass may stop.
    qsizetype after(qsizetype from)
    {
        const qsizetype special = nextSpecial(from);
        // Only far from every special character is the line break analysis of the whole text
        // worth its cost, and not even there while the run is only ASCII letters and digits,
        // between which a line never breaks.
        if (special - from < farRun)
            return special;
        const qsizetype mixed = nextMixed(from);
        if (mixed - from >= farRun)
            return std::min(special, mixed);
        return std::min(special, nextBoundary(from));
    }

    bool specialAt(qsizetype pos) const
    {
        const QChar unit = text_.at(pos);
        if (unit.isHighSurrogate() && pos + 1 < text_.size() && text_.at(pos + 1).isLowSurrogate())
            return stopsTheWordPass(QChar::surrogateToUcs4(unit, text_.at(pos + 1)));
        if (unit.isLowSurrogate() && pos > 0 && text_.at(pos - 1).isHighSurrogate())
            return false; // inside a pair: nothing stops there
        return stopsTheWordPass(unit.unicode());
    }

private:
    // Each answer holds for every `from` up to it, and lines come in order: each place is read
    // once.
    struct Answer {
        qsizetype from = -1;
        qsizetype next = -1;
        bool holdsFor(qsizetype at) const { return from >= 0 && from <= at && at < next; }
    };

    qsizetype nextSpecial(qsizetype from)
    {
        if (!special_.holdsFor(from)) {
            qsizetype pos = from + 1;
            while (pos < text_.size() && !specialAt(pos))
                ++pos;
            special_ = {from, pos};
        }
        return special_.next;
    }

    // The first place after `from` not between two ASCII letters or digits.
    qsizetype nextMixed(qsizetype from)
    {
        if (!mixed_.holdsFor(from)) {
            qsizetype pos = from + 1;
            while (pos < text_.size() && isAsciiAlphanumeric(text_.at(pos - 1)) &&
                   isAsciiAlphanumeric(text_.at(pos)))
                ++pos;
            mixed_ = {from, pos};
        }
        return mixed_.next;
    }

    static bool isAsciiAlphanumeric(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
    }

    qsizetype nextBoundary(qsizetype from)
    {
        if (!boundary_.holdsFor(from)) {
            if (!finder_)
                finder_.emplace(QTextBoundaryFinder::Line, text_);
            finder_->setPosition(from);
            const qsizetype next = finder_->toNextBoundary();
            boundary_ = {from, next < 0 ? text_.size() : next};
        }
        return boundary_.next;
    }

    const QString& text_;
    std::optional<QTextBoundaryFinder> finder_;
    Answer special_;
    Answer mixed_;
    Answer boundary_;
};

struct LineRecord {
    qsizetype start;
    qsizetype end;
    qsizetype wordEnd; // where the word starting the line may end at the earliest
    bool anywhere;     // laid out breaking anywhere without the word pass
};

std::vector<LineRecord> layOutOnce(QTextLayout& layout, WordEnds& words, qreal width,
                                   const QSet<qsizetype>& wordWay)
{
    const QTextOption wordOption = layout.textOption();
    QTextOption anywhereOption = wordOption;
    anywhereOption.setWrapMode(QTextOption::WrapAnywhere);
    std::vector<LineRecord> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        const qsizetype start = line.textStart();
        const qsizetype wordEnd = words.after(start);
        const bool anywhere =
            wordEnd - start >= farRun && !words.specialAt(start) && !wordWay.contains(start);
        // The option is read afresh by every line.
        layout.setTextOption(anywhere ? anywhereOption : wordOption);
        line.setLineWidth(width);
        lines.push_back({start, start + line.textLength(), wordEnd, anywhere});
    }
    layout.setTextOption(wordOption);
    layout.endLayout();
    return lines;
}

// What a line's height is made of, as the layout combines them: the highest ascent, descent
// and ascent plus leading of what it has taken in.
struct Height {
    qreal ascent = 0;
    qreal descent = 0;
    qreal top = 0;

    static Height of(const QTextLine& line)
    {
        return {line.ascent(), line.descent(), line.ascent() + line.leading()};
    }
    Height max(const Height& other) const
    {
        return {std::max(ascent, other.ascent), std::max(descent, other.descent),
                std::max(top, other.top)};
    }
    bool within(const Height& other) const
    {
        return ascent <= other.ascent && descent <= other.descent && top <= other.top;
    }
};

// The starts of the lines laid out breaking anywhere for which the word pass is not proven to
// have failed the same way. The word pass from a line's start takes the whole word to its end;
// that is at least as wide as the lines lying wholly inside it (same glyphs) and as tall as
// every line reaching into it (the pass leaves the heights of what it read in the line). Each
// line's tallest over the lines after it holds up to its own word end; a following line's is
// used only where its word end keeps it sound.
QList<qsizetype> unprovenLines(const QTextLayout& layout, const std::vector<LineRecord>& lines)
{
    // The widths of all lines before each one. Advances are whole 64ths of a pixel: the sums are
    // exact.
    std::vector<qreal> widthBefore(lines.size() + 1, 0.);
    for (size_t i = 0; i < lines.size(); ++i)
        widthBefore[i + 1] = widthBefore[i] + layout.lineAt(int(i)).horizontalAdvance();
    QList<qsizetype> unproven;
    const LineRecord* next = nullptr;
    Height heightAfter;      // the following line's tallest over the lines reaching its word
    bool heightKnown = true; // whether that covers every line reaching its word
    for (qsizetype i = qsizetype(lines.size()) - 1; i >= 0; --i) {
        const LineRecord& record = lines[size_t(i)];
        const QTextLine line = layout.lineAt(int(i));
        // Lines end in order: those from this one on that end inside the word come first.
        const auto pastWord = std::upper_bound(
            lines.begin() + i, lines.end(), record.wordEnd,
            [](qsizetype wordEnd, const LineRecord& later) { return wordEnd < later.end; });
        const qreal width = widthBefore[size_t(pastWord - lines.begin())] - widthBefore[size_t(i)];
        Height height = Height::of(line);
        bool known = true;
        if (next && next->start <= record.wordEnd) {
            height = height.max(heightAfter);
            known = heightKnown && next->wordEnd >= record.wordEnd;
        }
        if (record.anywhere && !(width > line.width() && known && height.within(Height::of(line))))
            unproven.append(record.start);
        next = &record;
        heightAfter = height;
        heightKnown = known;
    }
    return unproven;
}

bool needsOnlyThePlainWay(const QTextLayout& layout, const QString& text)
{
    const QTextOption& option = layout.textOption();
    const auto changesText = QTextOption::ShowTabsAndSpaces |
                             QTextOption::ShowLineAndParagraphSeparators |
                             QTextOption::ShowDocumentTerminator;
    return option.wrapMode() != QTextOption::WrapAtWordBoundaryOrAnywhere ||
           (option.flags() & changesText) || text.size() < farRun;
}

} // namespace

void breakLinesPlainly(QTextLayout& layout, qreal width)
{
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(width);
    layout.endLayout();
}

namespace {

// Breaks the lines of a layout that shows `shown`: its text with any word being composed.
void breakShownText(QTextLayout& layout, const QString& shown, qreal width)
{
    if (needsOnlyThePlainWay(layout, shown)) {
        breakLinesPlainly(layout, width);
        return;
    }
    WordEnds words(shown);
    QSet<qsizetype> wordWay;
    // A line laid out the word way where breaking anywhere was not proven right can move the
    // lines after it: prove again. Real text needs no second round; give up after a few.
    for (int round = 0; round < 3; ++round) {
        const auto lines = layOutOnce(layout, words, width, wordWay);
        const QList<qsizetype> unproven = unprovenLines(layout, lines);
        if (unproven.isEmpty())
            return;
        for (qsizetype start : unproven)
            wordWay.insert(start);
    }
    breakLinesPlainly(layout, width);
}

} // namespace

void breakLines(QTextLayout& layout, const QString& text, qreal width)
{
    const QString composing = layout.preeditAreaText();
    if (composing.isEmpty()) {
        breakShownText(layout, text, width);
        return;
    }
    QString shown = text;
    shown.insert(layout.preeditAreaPosition(), composing);
    breakShownText(layout, shown, width);
}

} // namespace pennoro::wraplines
