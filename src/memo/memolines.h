#pragma once

#include <QTextCursor>

class QTextBlock;
class QTextDocument;

namespace pennoro::memolines {

// The memo's lines. A line ends where a paragraph of the document ends or at a line separator:
// a long memo is loaded several lines to a paragraph, and Shift+Enter types a line separator.
// Saved, both are CR LF, so to the user both end a line.

// How many lines of the memo a paragraph holds.
int count(const QTextBlock& block);

// The line at `position`, selected from its start to after its line end (to the end of the
// memo for the last line): what a triple click selects.
QTextCursor lineAt(QTextDocument& document, int position);

// Dragging from a triple-clicked `line` to `position`: that line and every line up to the one at
// `position`, whole; the line itself alone while `position` stays in it.
QTextCursor dragLines(const QTextCursor& line, int position);

// Where a move from `from` to `to` stops if the lines of the memo end as paragraphs do: at the
// end (or start) of the line of `from`, or just over its line end from there.
int withinLine(QTextDocument& document, int from, int to);

} // namespace pennoro::memolines
