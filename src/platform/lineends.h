#pragma once

#include <QString>

namespace pennoro::lineends {

// Text as the memo widget holds it (paragraph and line separators, or "\n") to the program's
// form: CR LF between lines. It converts the string it is given in place, so that a large memo
// is not held twice.
QString toCrLf(QString&& widgetText);

// The program's form to what the widget takes: every CR LF, lone CR and lone LF becomes "\n".
QString toNewlines(QStringView text);

} // namespace pennoro::lineends
