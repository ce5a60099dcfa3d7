#include "app/memoedit.h"

#include "app/lineends.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace pennoro {

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Text1"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    connect(document(), &QTextDocument::undoCommandAdded, this,
            &MemoEdit::rememberSelectionOfNewStep);
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
    QPlainTextEdit::keyPressEvent(event);
}

QString MemoEdit::wholeText() const
{
    // toRawText keeps no-break spaces that toPlainText would turn into plain spaces.
    return lineends::toCrLf(document()->toRawText());
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
    setPlainText(lineends::toNewlines(text));
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
    return QPlainTextEdit::event(event);
}

} // namespace pennoro
