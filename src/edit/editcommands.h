#pragma once

namespace pennoro {

class Clipboard;
class MemoEdit;
class Prompts;

// The Edit menu's commands on the memo and the clipboard. A clipboard that cannot be read or
// written is reported through the prompts, and the memo is then left as it was: cut deletes only
// after the clipboard took the text, paste changes nothing when the clipboard could not be read.
namespace edit {

// Clears the clipboard, puts the selected text on it, then deletes the selection.
void cut(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts);
// Clears the clipboard and puts the selected text on it (the empty text when nothing is selected).
void copy(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts);
// Replaces the selection with the clipboard's text; a clipboard without text deletes it.
void paste(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts);
// Deletes the selection; the clipboard is not touched.
void clear(MemoEdit& memo);
// Empties the memo; the clipboard is not touched.
void clearAll(MemoEdit& memo);
// Clears the clipboard and puts the whole memo on it, whatever is selected.
void copyAll(MemoEdit& memo, Clipboard& clipboard, Prompts& prompts);

} // namespace edit
} // namespace pennoro
