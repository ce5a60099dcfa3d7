#include "load/linejoining.h"

#include <algorithm>
#include <optional>

namespace pennoro::linejoining {

namespace {

// Qt gives each run of a paragraph one script, which picks the font and the shaping of the run.
// Characters without a script of their own (digits, punctuation, spaces: Common and Inherited)
// join the run they stand in. At the start of a paragraph they join the script of the first
// character that has one; after a line separator they stay in the run the line before ended in.
// A line may follow another in a paragraph only where both come to the same.

bool hasOwnScript(QChar::Script script)
{
    return script > QChar::Script_Common;
}

QChar::Script scriptOf(char32_t c)
{
    if (c < 0x80)
        return (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? QChar::Script_Latin : QChar::Script_Common;
    return QChar::script(c);
}

bool isMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// Characters that make their line stand in a paragraph of its own: right-to-left text and
// direction controls (a paragraph takes its direction from its first letters), the document's own
// paragraph ends and line separators.
bool standsAlone(char16_t c)
{
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           (c >= 0xFB1D && c <= 0xFEFF) || c == 0xD802 || c == 0xD803 || c == 0xD83A || c == 0xD83B;
}

// A character the font of its run draws itself, as far as can be told without asking the font.
bool drawnByRunFont(char16_t c)
{
    return c >= 0x20 && (c < 0x7F || c > 0x9F) && c != 0xFFFD && !QChar::isSurrogate(c);
}

struct ScriptAt {
    QChar::Script script;
    bool mark;
    bool atEdge; // the line's first (or last) character
};

// The first character of the line with a script of its own, from the start or from the end.
std::optional<ScriptAt> firstOwnScript(QStringView line, bool fromEnd)
{
    const qsizetype size = line.size();
    for (qsizetype step = 0; step < size; ++step) {
        const qsizetype i = fromEnd ? size - 1 - step : step;
        char32_t c = line[i].unicode();
        qsizetype pair = 0;
        if (!fromEnd && QChar::isHighSurrogate(c) && i + 1 < size && line[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(line[i], line[i + 1]);
            pair = 1;
        } else if (fromEnd && QChar::isLowSurrogate(c) && i > 0 && line[i - 1].isHighSurrogate()) {
            c = QChar::surrogateToUcs4(line[i - 1], line[i]);
            pair = 1;
        }
        const QChar::Script script = scriptOf(c);
        if (hasOwnScript(script))
            return ScriptAt{script, isMark(c), step == 0};
        step += pair;
    }
    return std::nullopt;
}

struct Line {
    bool empty;
    bool alone;
    bool plainEnd;                        // its last character drawn by the font of its run
    std::optional<ScriptAt> firstOwn;     // its first character with a script of its own
    std::optional<QChar::Script> lastOwn; // the script its runs end in
};

Line describe(QStringView text)
{
    Line line{text.isEmpty(), false, text.isEmpty() || drawnByRunFont(text.back().unicode()),
              firstOwnScript(text, false), std::nullopt};
    line.alone =
        std::any_of(text.begin(), text.end(), [](QChar c) { return standsAlone(c.unicode()); });
    if (const auto last = firstOwnScript(text, true)) {
        // A mark continues the run of the letter it marks, whatever its own script.
        line.alone = line.alone || last->mark || (line.firstOwn && line.firstOwn->mark);
        line.lastOwn = last->script;
    }
    return line;
}

// The paragraph being made: which lines may follow.
class Paragraph {
public:
    explicit Paragraph(int maximumLines) : maximumLines_(maximumLines) {}

    // Starts a new paragraph with `line`.
    void start(const Line& line)
    {
        script_ = QChar::Script_Common;
        lines_ = 0;
        add(line);
    }

    // Whether `line` can follow in this paragraph; if so, it does.
    bool join(const Line& line)
    {
        if (!fits(line))
            return false;
        add(line);
        return true;
    }

private:
    bool fits(const Line& line) const
    {
        if (lines_ >= maximumLines_ || previous_.alone || line.alone)
            return false;
        // The line separator before the line stands in the run the line before ended in: alone
        // on its line, that run must draw as an empty paragraph does (Common and Latin share a
        // font); after a character, that character's font already sets the line's height.
        if (previous_.empty ? script_ > QChar::Script_Latin : !previous_.plainEnd)
            return false;
        if (!line.firstOwn)
            return script_ == QChar::Script_Common ||
                   (line.empty && script_ <= QChar::Script_Latin);
        // The characters so far, none with a script of their own, would join this line's script.
        if (script_ == QChar::Script_Common)
            return false;
        return line.firstOwn->script == script_ || line.firstOwn->atEdge;
    }

    void add(const Line& line)
    {
        if (line.lastOwn)
            script_ = *line.lastOwn;
        previous_ = line;
        ++lines_;
    }

    const int maximumLines_;
    QChar::Script script_ = QChar::Script_Common;
    int lines_ = 0;
    Line previous_{};
};

} // namespace

QString joinLines(QStringView lines, int linesPerParagraph)
{
    QString joined(lines.size(), Qt::Uninitialized);
    QChar* out = joined.data();
    Paragraph paragraph(linesPerParagraph);
    qsizetype start = 0;
    while (start < lines.size()) {
        qsizetype end = start;
        while (end < lines.size() && lines[end] != u'\n' && lines[end] != u'\r')
            ++end;
        const QStringView text = lines.sliced(start, end - start);
        const Line line = describe(text);
        if (start == 0)
            paragraph.start(line);
        else if (!paragraph.join(line)) {
            out[-1] = u'\n';
            paragraph.start(line);
        }
        out = std::copy(text.begin(), text.end(), out);
        if (end == lines.size())
            break;
        start = end +
                (lines[end] == u'\r' && end + 1 < lines.size() && lines[end + 1] == u'\n' ? 2 : 1);
        *out++ = start == lines.size() ? QChar(u'\n') : QChar::LineSeparator;
    }
    joined.truncate(out - joined.constData());
    return joined;
}

} // namespace pennoro::linejoining
