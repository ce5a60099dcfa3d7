#pragma once

#include <QString>
#include <QStringView>

namespace pennoro::linejoining {

// The document spends its time per paragraph, not per character, so a long memo loads faster
// with several of its lines to a paragraph, joined by line separators (U+2028), which the memo
// treats as the line ends they stand for.
//
// Returns `lines` (lines that each end in CR LF, CR or LF, but for perhaps the last) with each line
// end a line separator where the line after it looks exactly the same in one paragraph with the
// lines before it as in a paragraph of its own, and LF elsewhere: after every
// `linesPerParagraph`-th line, around lines that must stand alone, and at the end.
QString joinLines(QStringView lines, int linesPerParagraph);

} // namespace pennoro::linejoining
