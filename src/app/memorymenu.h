#pragma once

class QWidget;

namespace pennoro {

class MemoEdit;
class Prompts;

// The memory menu's commands on the memo as a whole: export to a text file and edit reset. The
// window caption tells which of them ran last: the exported file's path, or the Normal caption.
namespace memorymenu {

// Writes the memo and one line end to a file chosen in the save dialog; the caption then shows
// the caption prefix and the chosen path (nothing after the prefix when the dialog was
// cancelled). An empty memo is answered with a warning and the Normal caption, without a dialog.
// A file that cannot be written is reported, and the caption stays as it was.
void exportMemo(MemoEdit& memo, QWidget& window, Prompts& prompts);

// Empties the memo (one undoable step) and returns the caption to the Normal caption.
void editReset(MemoEdit& memo, QWidget& window);

} // namespace memorymenu
} // namespace pennoro
