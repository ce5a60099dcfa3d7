#include "edit/clipboardmenu.h"

#include "common/messages.h"
#include "common/texts.h"
#include "edit/textexport.h"
#include "platform/clipboard.h"
#include "platform/prompts.h"

namespace pennoro::clipboardmenu {

namespace {

std::optional<QString> readClipboard(Clipboard& clipboard, Prompts& prompts)
{
    std::optional<QString> text = clipboard.text();
    if (!text)
        messages::report(prompts, texts::clipboardReadFailed);
    return text;
}

} // namespace

void clearClipboard(Clipboard& clipboard, Prompts& prompts)
{
    if (!clipboard.clear())
        messages::report(prompts, texts::clipboardWriteFailed);
}

void saveClipboardText(Clipboard& clipboard, Prompts& prompts)
{
    const std::optional<QString> before = readClipboard(clipboard, prompts);
    if (!before)
        return;
    if (before->isEmpty()) {
        prompts.message(texts::clipboardHoldsNoText, texts::applicationTitle,
                        Prompts::Icon::Warning);
        return;
    }
    const QString path = textexport::chooseFile(prompts);
    if (path.isEmpty())
        return;
    // Another program may have changed the clipboard while the dialog was open: what is saved is
    // the text it holds now. When it cannot be read, the file is left alone.
    const std::optional<QString> now = readClipboard(clipboard, prompts);
    if (now)
        textexport::writeFile(path, *now, prompts);
}

} // namespace pennoro::clipboardmenu
