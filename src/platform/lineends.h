#pragma once

#include <QString>

// Line ends: inside the program every line ends with CR LF; the memo widget and other programs'
// texts use their own forms, converted here.
namespace pennoro::lineends {

// Any text to the program's form: CR LF stays, and a lone CR, a lone LF and the widget's
// paragraph and line separators each become CR LF. Text that already has only CR LF comes back
// without a copy; otherwise the one buffer is converted in place, so that a large memo is not
// held twice.
QString toCrLf(QString text);

// The program's form to what the widget takes: every CR LF, lone CR and lone LF becomes "\n".
QString toNewlines(QStringView text);

} // namespace pennoro::lineends
