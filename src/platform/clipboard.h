#pragma once

#include <QString>

#include <optional>

namespace pennoro {

// The system clipboard, plain text only. Inside the program every line end is CR LF; an
// implementation converts to and from the platform's convention. Each call is one access and
// says whether it succeeded, so that a command can leave the memo alone when the clipboard failed.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Removes every format from the clipboard.
    virtual bool clear() = 0;
    // Places the text on the clipboard as plain text.
    virtual bool setText(const QString& text) = 0;
    // The clipboard's plain text, the empty text when it holds none; nothing when it failed.
    virtual std::optional<QString> text() = 0;
};

} // namespace pennoro
