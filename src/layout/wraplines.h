#pragma once

#include <QString>

class QTextLayout;

namespace pennoro::wraplines {

// Breaks `layout` into lines of the given width (beginLayout to endLayout), giving exactly the
// lines that QTextLine::setLineWidth gives line by line under the layout's text option, but in
// time linear in the length of long unbreakable runs.
//
// Under QTextOption::WrapAtWordBoundaryOrAnywhere, Qt lays out each line at word boundaries
// first; the first word of a line is always taken whole, so on a run without a break
// opportunity that pass reads the whole rest of the run before it finds the line too wide and
// lays the line out again breaking anywhere. Every line of the run reads the rest of the run:
// quadratic. Here a line that starts far inside such a run is laid out breaking anywhere
// straight away. Afterwards the lines are checked: the run must really be wider than the line
// (so the word pass would have failed) and no later part of it may be taller than the line
// (the word pass leaves its heights in the line). A line that fails is laid out the word way.
//
// `text` is the layout's text (a block's text for a block's layout); a word being composed is
// taken from the layout. Positions and positioning of the lines are left to the caller.
void breakLines(QTextLayout& layout, const QString& text, qreal width);

// The plain way: every line through setLineWidth under the layout's own text option.
void breakLinesPlainly(QTextLayout& layout, qreal width);

} // namespace pennoro::wraplines
