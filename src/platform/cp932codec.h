#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Microsoft's Shift-JIS), the code page of every file the program reads and writes.
// The conversion is ICU's "windows-31j" converter with best-fit mappings off, corrected where ICU
// parts ways with the code page: 0x00-0x7F are ASCII (ICU rotates 0x1A, 0x1C and 0x7F), and a
// character that ICU would write as bytes that read back as another character is not encodable.
namespace pennoro::cp932 {

struct Encoded {
    QByteArray bytes;
    qsizetype referenced = 0; // how many characters were written as numeric character references
};

// Characters code page 932 cannot hold become HTML numeric character references "&#128512;"
// (decimal code point; a surrogate pair is one reference of its code point), never "?". A lone
// surrogate holds no character: it is written as the reference of U+FFFD, the replacement
// character, which is what a browser shows for it. The JIS forms that Linux input methods type
// for seven characters (〜 − ‖ — ¢ £ ¬) are written as the Windows forms the code page holds
// (～ － ∥ ― ￠ ￡ ￢), as Windows and glibc write them. Fails only when ICU cannot convert at all.
Result<Encoded> encode(QStringView text);

struct Decoded {
    QString text;
    qsizetype invalid = 0; // byte sequences that are not code page 932, each read as U+FFFD
};

// Bytes that are not valid code page 932 (malformed, unassigned, cut off at the end) become
// U+FFFD; an ASCII byte after a lead byte that starts no character stays ASCII, as in browsers.
// Any input is safe. Fails only when ICU cannot convert at all.
Result<Decoded> decode(QByteArrayView bytes);

} // namespace pennoro::cp932
