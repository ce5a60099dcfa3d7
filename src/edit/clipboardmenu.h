#pragma once

namespace pennoro {

class Clipboard;
class Prompts;

// The Clipboard menu's commands: they work on the clipboard itself, never on the memo or the
// window caption.
namespace clipboardmenu {

// Removes every format from the clipboard.
void clearClipboard(Clipboard& clipboard, Prompts& prompts);

// Saves the clipboard's text to a file chosen in the save dialog. A clipboard without text is
// answered with a warning and no dialog. The text written is the clipboard's text after the
// dialog closed, followed by one line end.
void saveClipboardText(Clipboard& clipboard, Prompts& prompts);

} // namespace clipboardmenu
} // namespace pennoro
