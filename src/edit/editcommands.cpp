#include "edit/editcommands.h"

#include "common/messages.h"
#include "common/texts.h"
#include "memo/memoedit.h"
#include "platform/clipboard.h"
#include "platform/prompts.h"

namespace pennoro::edit {

namespace {

using MemoText = QString (MemoEdit::*)() const;

// Clear first, then set: the clipboard's earlier contents go in every format, not only as text.
// The memo is read between the two accesses, and the text is set only when clearing worked.
bool putOnClipboard(MemoEdit& memo, MemoText read, Clipboard& clipboard, Prompts& prompts)
{
    const bool written = clipboard.clear() && clipboard.setText((memo.*read)());
    if (!written)
        messages::report(prompts, texts::clipboardWriteFailed);
    return written;
}

} // namespace

void cut(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts)
{
    if (putOnClipboard(memo, &MemoEdit::selectedText, clipboard, prompts))
        memo.setSelectedText({});
}

void copy(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts)
{
    putOnClipboard(memo, &MemoEdit::selectedText, clipboard, prompts);
}

void paste(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts)
{
    const std::optional<QString> text = clipboard.text();
    if (!text) {
        messages::report(prompts, texts::clipboardReadFailed);
        return;
    }
    memo.setSelectedText(*text);
}

void clear(MemoEdit& memo)
{
    memo.setSelectedText({});
}

void clearAll(MemoEdit& memo)
{
    memo.setWholeText({});
}

void copyAll(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts)
{
    putOnClipboard(memo, &MemoEdit::wholeText, clipboard, prompts);
}

} // namespace pennoro::edit
