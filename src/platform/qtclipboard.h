#pragma once

#include "platform/clipboard.h"

namespace pennoro {

// The system clipboard through Qt. Qt's own convention for text on the clipboard is LF, which it
// turns into the platform's (CR LF on Windows) by itself; the program's CR LF is converted to it
// on the way out, and every line end that comes in (LF, CR, CR LF, a paragraph or line
// separator) becomes CR LF.
class QtClipboard final : public Clipboard {
public:
    // Fails only without a running application.
    bool clear() override;
    // Fails when the clipboard does not hold the text afterwards, as when the window system gave
    // it to another program or refused it.
    bool setText(const QString& text) override;
    std::optional<QString> text() override;
};

} // namespace pennoro
