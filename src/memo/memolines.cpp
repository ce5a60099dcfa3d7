#include "memo/memolines.h"

#include <QTextBlock>
#include <QTextDocument>

namespace pennoro::memolines {

namespace {

int startOfLine(const QTextBlock& block, int position)
{
    const int offset = position - block.position();
    const int separator =
        offset > 0 ? int(block.text().lastIndexOf(QChar::LineSeparator, offset - 1)) : -1;
    return block.position() + separator + 1;
}

int endOfLine(const QTextBlock& block, int position)
{
    const int separator =
        int(block.text().indexOf(QChar::LineSeparator, position - block.position()));
    if (separator >= 0)
        return block.position() + separator + 1;
    // The paragraph's own end, which the last paragraph of the memo does not have.
    const QTextBlock next = block.next();
    return next.isValid() ? next.position() : block.position() + block.length() - 1;
}

} // namespace

int count(const QTextBlock& block)
{
    return int(block.text().count(QChar::LineSeparator)) + 1;
}

QTextCursor lineAt(QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    QTextCursor line(&document);
    line.setPosition(startOfLine(block, position));
    line.setPosition(endOfLine(block, position), QTextCursor::KeepAnchor);
    return line;
}

QTextCursor dragLines(const QTextCursor& line, int position)
{
    QTextCursor lines = line;
    if (position >= line.selectionStart() && position <= line.selectionEnd())
        return lines;
    const QTextBlock block = line.document()->findBlock(position);
    if (position < line.selectionStart()) {
        lines.setPosition(line.selectionEnd());
        lines.setPosition(startOfLine(block, position), QTextCursor::KeepAnchor);
    } else {
        lines.setPosition(line.selectionStart());
        lines.setPosition(endOfLine(block, position), QTextCursor::KeepAnchor);
    }
    return lines;
}

int withinLine(QTextDocument& document, int from, int to)
{
    // A paragraph's own start and end are where the base stops already.
    const QTextBlock block = document.findBlock(from);
    if (to >= from) {
        const int end = endOfLine(block, from);
        if (end == block.position() + block.length() ||
            document.characterAt(end - 1) != QChar::LineSeparator)
            return to;
        return from == end - 1 ? end : qMin(to, end - 1);
    }
    const int start = startOfLine(block, from);
    if (start == block.position())
        return to;
    return from == start ? start - 1 : qMax(to, start);
}

} // namespace pennoro::memolines
