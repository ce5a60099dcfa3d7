// A random memo, a random selection and a random tag command from the catalogue, run the way the
// menu runs it: the text before and after the selection stays as it was, the selection is wrapped
// exactly as the command's shape says, nothing is selected afterwards and the caret stands after
// the new text, and one undo gives back the old memo with its selection. The line end conversions
// the memo relies on are checked on the same text: both end every line where the other does.
//
// Input: one byte choosing the command, two 16-bit numbers for the selection's anchor and
// position, then the memo as UTF-8.

#include "fuzzcheck.h"
#include "memo/memoedit.h"
#include "platform/lineends.h"
#include "tags/taginsertion.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

using namespace pennoro;

namespace {

// The selection's text as the program's form, from the document's start or up to its end.
QString textBetween(QTextDocument* document, int from, int to)
{
    QTextCursor cursor(document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return lineends::toCrLf(cursor.selectedText());
}

// What the command puts in place of the selection, by its shape.
QString wrapped(const TagCommand& command, const QString& selected)
{
    const QString open = command.open.toString();
    switch (command.shape) {
    case TagShape::Wrap:
        return open + selected + command.close.toString();
    case TagShape::Link:
        return open + selected + command.middle.toString() + selected + command.close.toString();
    case TagShape::Fixed:
        break;
    }
    return open;
}

// A position between two characters a user could select up to: never inside a surrogate pair.
int selectable(const QString& plain, int position)
{
    if (position > 0 && position < plain.size() && plain[position].isLowSurrogate() &&
        plain[position - 1].isHighSurrogate())
        return position - 1;
    return position;
}

void checkTagInsertion(MemoEdit& memo, const TagCommand& command, std::uint16_t anchorSeed,
                       std::uint16_t positionSeed)
{
    QTextDocument* document = memo.document();
    const QString plain = document->toRawText();
    const int end = document->characterCount() - 1; // without the document's final break
    const int anchor = selectable(plain, anchorSeed % (end + 1));
    const int position = selectable(plain, positionSeed % (end + 1));
    QTextCursor cursor(document);
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    memo.setTextCursor(cursor);
    const int start = cursor.selectionStart();

    const QString old = memo.wholeText();
    const QString before = textBetween(document, 0, start);
    const QString selected = memo.selectedText();
    const QString after = textBetween(document, cursor.selectionEnd(), end);
    FUZZ_CHECK(before + selected + after == old);

    const QString replacement = wrapped(command, selected);
    FUZZ_CHECK(tags::replacement(command, selected) == replacement);
    tags::insert(memo, command);
    FUZZ_CHECK(memo.wholeText() == before + replacement + after);
    FUZZ_CHECK(!memo.textCursor().hasSelection());
    FUZZ_CHECK(memo.textCursor().position() == start + lineends::toNewlines(replacement).size());

    memo.undoWithSelection();
    FUZZ_CHECK(memo.wholeText() == old);
    FUZZ_CHECK(memo.textCursor().anchor() == anchor);
    FUZZ_CHECK(memo.textCursor().position() == position);
}

void checkLineEnds(const QString& text)
{
    static const QRegularExpression anyLineEnd(QStringLiteral("\r\n|\r|\n|\u2028|\u2029"));
    static const QRegularExpression newline(QStringLiteral("\r\n|\r|\n"));
    const QString crLf = lineends::toCrLf(text);
    FUZZ_CHECK(crLf.split(QStringLiteral("\r\n")) == text.split(anyLineEnd));
    FUZZ_CHECK(lineends::toCrLf(crLf) == crLf);
    const QString newlines = lineends::toNewlines(text);
    FUZZ_CHECK(!newlines.contains(u'\r'));
    FUZZ_CHECK(newlines.split(u'\n') == text.split(newline));
    FUZZ_CHECK(lineends::toNewlines(crLf) == lineends::toNewlines(lineends::toCrLf(newlines)));
}

// The widgets need an application; made once, before the first input, as is the memo. Both are
// kept until the process ends: the exit handlers that would destroy them run after Qt's own.
MemoEdit* memo = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    memo = new MemoEdit;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t header = 5;
    if (size < header)
        return 0;
    const auto catalogue = tags::catalogue();
    const TagCommand& command = catalogue[data[0] % catalogue.size()];
    const auto anchorSeed = std::uint16_t(data[1] | data[2] << 8);
    const auto positionSeed = std::uint16_t(data[3] | data[4] << 8);
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + header), qsizetype(size - header));

    checkLineEnds(text);
    memo->loadText(text);
    FUZZ_CHECK(memo->wholeText() == lineends::toCrLf(text));
    checkTagInsertion(*memo, command, anchorSeed, positionSeed);
    return 0;
}
