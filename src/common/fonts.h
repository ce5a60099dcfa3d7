#pragma once

#include <QFont>

namespace pennoro::fonts {

// "ＭＳ ゴシック", the fixed-pitch Japanese font, with look-alikes where it is not installed.
QFont msGothic(qreal pointSize);
// "ＭＳ Ｐゴシック", its proportional sister, likewise.
QFont msPGothic(qreal pointSize);

} // namespace pennoro::fonts
