#pragma once

#include <QString>

namespace pennoro::lineends {

// The program's own line end.
inline const QString crlf = QStringLiteral("\r\n");

// Text as the memo widget holds it (paragraph and line separators, or "\n") to the program's
// form: CR LF between lines. Given a string of its own, it converts that one in place, so that a
// large memo is not held twice.
QString toCrLf(QString&& widgetText);
QString toCrLf(QStringView widgetText);

// The program's form to what the widget takes: every CR LF, lone CR and lone LF becomes "\n".
QString toNewlines(QStringView text);

} // namespace pennoro::lineends
