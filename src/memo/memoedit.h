#pragma once

#include "memo/joinedlinesedit.h"
#include "platform/textfile.h"

#include <QHash>
#include <QKeySequence>
#include <QList>

#include <optional>

namespace pennoro {

// The memo (Text1): the one document of the program. Every other part reaches it through the
// four operations below, whose texts use CR LF between lines; the widget's own paragraph breaks
// are converted here and nowhere else.
class MemoEdit : public JoinedLinesEdit {
    Q_OBJECT

public:
    explicit MemoEdit(QWidget* parent = nullptr);

    QString wholeText() const;
    // The same text a piece at a time, each of about `pieceSize` characters, for writing a large
    // memo without a copy of it all. Valid while the memo lives unchanged.
    textfile::NextText wholeTextInPieces(qsizetype pieceSize = qsizetype(1) << 16) const;
    // Replaces the whole memo as one undoable step; the caret goes to the start.
    void setWholeText(const QString& text);
    // Start-up fill: like setWholeText, but with a fresh undo history.
    void loadText(const QString& text);

    // The selection as text, the empty text when nothing is selected.
    QString selectedText() const;
    // Replaces the selection (or inserts at the caret) as one undoable step; afterwards the
    // caret stands after the text and nothing is selected.
    void setSelectedText(const QString& text);
    // The same as setSelectedText(before + selection + after), without taking the selection out
    // and putting it back: on a large selection that would rebuild every line of it.
    void surroundSelection(const QString& before, const QString& after);

    // Keys that belong to the window's menu commands: the memo lets them through instead of
    // handling them itself (Ctrl+C, Shift+Del and the like would otherwise never reach the menu).
    void setReservedShortcuts(const QList<QKeySequence>& keys);

    // Takes back the last edit; after one of our own edits the selection comes back too.
    void undoWithSelection();

    // The word an input method is composing, as the memo shows it; empty when there is none.
    QString composition() const;
    // Commits that word into the memo as the input method would (Return, or a menu opening), so
    // that a command sees the memo the user sees. Every command calls this first.
    void commitComposition();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void useWrappingLayout();
    void keepCaretParagraphAnalysed();

    struct Selection {
        int anchor;
        int position;
    };
    struct Record {
        int stepsBefore; // the document's undo count before the edit
        Selection selection;
    };

    // Runs an edit as one undo step that remembers the selection it started from.
    template <typename Edit> void editAsOneStep(QTextCursor& cursor, Edit edit);
    void rememberSelectionOfNewStep();

    QList<QKeySequence> reserved_;
    // The selection before each of our edits, by the document's undo count right after it
    // (one edit block can count as several steps).
    QHash<int, Record> selectionBefore_;
    std::optional<Selection> pending_;
    int knownSteps_ = 0;
    // The long paragraph whose layout keeps its analysis, by number; -1 for none.
    int analysedParagraph_ = -1;
};

} // namespace pennoro
