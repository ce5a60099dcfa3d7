#include "memo/memoedit.h"

#include "layout/linearwrappinglayout.h"
#include "platform/lineends.h"

#include <algorithm>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace pennoro {

namespace {

// A memo filled before it is shown gets its width only when shown, and a new width lays out every
// paragraph once more (with a layout object kept for each: tens of MB for a 10 MB memo). So the
// memo and its viewport take their pending sizes before the text comes, as showing would.
void takePendingWidth(QAbstractScrollArea& area)
{
    for (QWidget* widget : {static_cast<QWidget*>(&area), area.viewport()}) {
        if (!widget->testAttribute(Qt::WA_PendingResizeEvent))
            continue;
        QResizeEvent resize(widget->size(), QSize());
        QCoreApplication::sendEvent(widget, &resize);
        widget->setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

} // namespace

MemoEdit::MemoEdit(QWidget* parent) : JoinedLinesEdit(parent)
{
    useWrappingLayout();
    setObjectName(QStringLiteral("Text1"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    connect(document(), &QTextDocument::undoCommandAdded, this,
            &MemoEdit::rememberSelectionOfNewStep);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            &MemoEdit::keepCaretParagraphAnalysed);
}

// A paragraph's layout drops what it worked out about the text (script runs, glyphs, where
// characters and words end) once laid out, and works it all out again, for the whole paragraph,
// whenever the caret blinks or moves. On a line of megabytes that keeps a core busy while nobody
// types, so the long paragraph that holds the caret keeps it; only that one, for the memory.
void MemoEdit::keepCaretParagraphAnalysed()
{
    const QTextBlock caret = textCursor().block();
    if (caret.blockNumber() == analysedParagraph_)
        return;
    if (const QTextBlock old = document()->findBlockByNumber(analysedParagraph_); old.isValid())
        old.layout()->setCacheEnabled(false);
    analysedParagraph_ = -1;
    if (caret.length() > LinearWrappingLayout::longParagraph) {
        caret.layout()->setCacheEnabled(true);
        analysedParagraph_ = caret.blockNumber();
    }
}

void MemoEdit::useWrappingLayout()
{
    // A fresh document set up as QPlainTextEdit sets up its own, laid out by a layout that keeps
    // long unbreakable lines fast.
    auto* doc = new QTextDocument(this);
    doc->setDocumentLayout(new LinearWrappingLayout(doc, [this] { return viewport()->width(); }));
    doc->setTextWidth(-1);
    doc->documentLayout()->setPaintDevice(viewport());
    doc->setDefaultFont(font());
    setDocument(doc);
}

template <typename Edit> void MemoEdit::editAsOneStep(QTextCursor& cursor, Edit edit)
{
    const QTextCursor before = textCursor();
    pending_ = Selection{before.anchor(), before.position()};
    cursor.beginEditBlock();
    edit();
    cursor.endEditBlock();
    pending_.reset();
}

void MemoEdit::rememberSelectionOfNewStep()
{
    // A new step drops whatever could have been redone, so records past the count it started
    // from are stale.
    const int before = knownSteps_;
    selectionBefore_.removeIf([before](const auto& record) { return record.key() > before; });
    knownSteps_ = document()->availableUndoSteps();
    if (pending_)
        selectionBefore_.insert(knownSteps_, {before, *pending_});
}

void MemoEdit::undoWithSelection()
{
    const auto record = selectionBefore_.constFind(document()->availableUndoSteps());
    undo();
    knownSteps_ = document()->availableUndoSteps();
    if (record == selectionBefore_.cend() || record->stepsBefore != knownSteps_)
        return;
    QTextCursor cursor(document());
    cursor.setPosition(record->selection.anchor);
    cursor.setPosition(record->selection.position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void MemoEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo)) {
        undoWithSelection();
        event->accept();
        return;
    }
    JoinedLinesEdit::keyPressEvent(event);
}

QString MemoEdit::composition() const
{
    return textCursor().block().layout()->preeditAreaText();
}

void MemoEdit::commitComposition()
{
    const QString word = composition();
    if (word.isEmpty())
        return;
    // An input method with the keyboard commits its own word: some when asked to commit (as when
    // a menu takes the focus), others (fcitx5) only when reset.
    if (hasFocus()) {
        QGuiApplication::inputMethod()->commit();
        if (!composition().isEmpty())
            QGuiApplication::inputMethod()->reset();
    }
    QTextCursor before = textCursor();
    before.setPosition(qMax(0, before.position() - int(word.size())), QTextCursor::KeepAnchor);
    if (composition().isEmpty() && before.selectedText() == word)
        return;
    // None did (there is none, or it dropped the word): the memo commits what it showed.
    QInputMethodEvent commit;
    commit.setCommitString(word);
    QCoreApplication::sendEvent(this, &commit);
}

QString MemoEdit::wholeText() const
{
    // toRawText keeps no-break spaces that toPlainText would turn into plain spaces.
    return lineends::toCrLf(document()->toRawText());
}

textfile::NextText MemoEdit::wholeTextInPieces(qsizetype pieceSize) const
{
    // Pieces of the document's raw text, as wholeText converts it: paragraphs joined by U+2029,
    // no-break spaces kept. Every line end there is one character, so converting each piece on
    // its own gives what converting the whole text does. (A surrogate pair cut between two pieces
    // is the writer's to join.)
    return [document = document(), from = 0, pieceSize]() mutable -> std::optional<QString> {
        const int end = document->characterCount() - 1;
        if (from >= end)
            return std::nullopt;
        const int to = int(std::min<qsizetype>(end, from + pieceSize));
        QTextCursor piece(document);
        piece.setPosition(from);
        piece.setPosition(to, QTextCursor::KeepAnchor);
        from = to;
        return lineends::toCrLf(piece.selectedText());
    };
}

void MemoEdit::setWholeText(const QString& text)
{
    QTextCursor cursor(document());
    editAsOneStep(cursor, [&] {
        cursor.select(QTextCursor::Document);
        cursor.insertText(lineends::toNewlines(text));
    });
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
}

void MemoEdit::loadText(const QString& text)
{
    selectionBefore_.clear();
    knownSteps_ = 0;
    takePendingWidth(*this);
    // The document ends a paragraph at CR LF, CR and LF by itself: no converted copy of a large
    // memo is needed.
    setPlainText(text);
    keepCaretParagraphAnalysed();
}

QString MemoEdit::selectedText() const
{
    return lineends::toCrLf(textCursor().selectedText());
}

void MemoEdit::setSelectedText(const QString& text)
{
    QTextCursor cursor = textCursor();
    editAsOneStep(cursor, [&] { cursor.insertText(lineends::toNewlines(text)); });
    setTextCursor(cursor);
}

void MemoEdit::surroundSelection(const QString& before, const QString& after)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    editAsOneStep(cursor, [&] {
        // The end first, so that the start's insertion does not move it.
        cursor.setPosition(end);
        cursor.insertText(lineends::toNewlines(after));
        const int afterEnd = cursor.position();
        cursor.setPosition(start);
        cursor.insertText(lineends::toNewlines(before));
        cursor.setPosition(afterEnd + (cursor.position() - start));
    });
    setTextCursor(cursor);
}

void MemoEdit::setReservedShortcuts(const QList<QKeySequence>& keys)
{
    reserved_ = keys;
}

bool MemoEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        if (reserved_.contains(pressed)) {
            // Not accepting the override hands the key to the window's shortcut.
            event->ignore();
            return true;
        }
    }
    return JoinedLinesEdit::event(event);
}

} // namespace pennoro
