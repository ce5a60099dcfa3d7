#include "memo/joinedlinesedit.h"

#include "memo/memolines.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>

#include <algorithm>

namespace pennoro {

void JoinedLinesEdit::keyPressEvent(QKeyEvent* event)
{
    if (moveByWordInLine(*event)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// The base selects a whole paragraph on a triple click and extends by paragraphs; these follow
// it, step by step, and put lines of the memo in the paragraphs' place.
void JoinedLinesEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    tripleClickTimer_.start(QApplication::doubleClickInterval(), this);
    tripleClickPoint_ = event->position().toPoint();
}

void JoinedLinesEdit::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const bool tripleClick =
        event->button() == Qt::LeftButton && tripleClickTimer_.isActive() &&
        (point - tripleClickPoint_).manhattanLength() < QApplication::startDragDistance();
    const QTextCursor before = textCursor();
    const int hit = cursorForPosition(point).position();
    const int top = verticalScrollBar()->value();
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A press that dragged the text away had its release swallowed by the drag and drop.
    pressedInSelection_ = false;
    if (tripleClick) {
        // The base took the paragraph around the caret the double click left.
        tripleClickTimer_.stop();
        tripleClickLine_ = memolines::lineAt(*document(), before.position());
        selectAsPressed(*tripleClickLine_, top);
    } else if (event->modifiers() == Qt::ShiftModifier) {
        if (tripleClickLine_)
            selectAsPressed(memolines::dragLines(*tripleClickLine_, hit), top);
    } else {
        pressedInSelection_ = before.hasSelection() && textCursor() == before;
        if (!pressedInSelection_)
            tripleClickLine_.reset();
    }
}

// The base scrolled to the end of the paragraphs it selected; the press shows the end of the lines
// instead, from where the memo stood.
void JoinedLinesEdit::selectAsPressed(const QTextCursor& selection, int top)
{
    verticalScrollBar()->setValue(top);
    setTextCursor(selection);
}

void JoinedLinesEdit::mouseMoveEvent(QMouseEvent* event)
{
    const int hit = cursorForPosition(event->position().toPoint()).position();
    const int top = verticalScrollBar()->value();
    QPlainTextEdit::mouseMoveEvent(event);
    if (!(event->buttons() & Qt::LeftButton) || !tripleClickLine_ || pressedInSelection_)
        return;
    // Back in the line it started from, the base shows the line whole; elsewhere a drag selects
    // without scrolling (the base scrolls by itself while the mouse is outside).
    const bool inLine =
        hit >= tripleClickLine_->selectionStart() && hit <= tripleClickLine_->selectionEnd();
    selectAsPressed(memolines::dragLines(*tripleClickLine_, hit), top);
    if (!inLine)
        verticalScrollBar()->setValue(top);
}

void JoinedLinesEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && pressedInSelection_) {
        // The press did not drag the text: the base put the caret where it was released.
        pressedInSelection_ = false;
        tripleClickLine_.reset();
    }
}

void JoinedLinesEdit::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == tripleClickTimer_.timerId())
        tripleClickTimer_.stop();
    else
        QPlainTextEdit::timerEvent(event);
}

// In a paragraph of several lines the base's word moves would go on over a line separator, where
// a line of its own stops at its end: these stop there.
bool JoinedLinesEdit::moveByWordInLine(const QKeyEvent& event)
{
    struct WordKey {
        QKeySequence::StandardKey key;
        QTextCursor::MoveOperation direction;
        enum { Move, Select, Delete } does;
    };
    static constexpr WordKey wordKeys[] = {
        {QKeySequence::MoveToNextWord, QTextCursor::NextWord, WordKey::Move},
        {QKeySequence::MoveToPreviousWord, QTextCursor::PreviousWord, WordKey::Move},
        {QKeySequence::SelectNextWord, QTextCursor::NextWord, WordKey::Select},
        {QKeySequence::SelectPreviousWord, QTextCursor::PreviousWord, WordKey::Select},
        {QKeySequence::DeleteEndOfWord, QTextCursor::NextWord, WordKey::Delete},
        {QKeySequence::DeleteStartOfWord, QTextCursor::PreviousWord, WordKey::Delete},
    };
    const auto wordKey = std::find_if(std::begin(wordKeys), std::end(wordKeys),
                                      [&](const WordKey& k) { return event.matches(k.key); });
    QTextCursor cursor = textCursor();
    if (wordKey == std::end(wordKeys) ||
        (wordKey->does == WordKey::Delete && cursor.hasSelection()))
        return false;
    QTextCursor base = cursor;
    base.movePosition(wordKey->direction);
    const int target = memolines::withinLine(*document(), cursor.position(), base.position());
    if (target == base.position())
        return false;
    cursor.setPosition(target, wordKey->does == WordKey::Move ? QTextCursor::MoveAnchor
                                                              : QTextCursor::KeepAnchor);
    if (wordKey->does == WordKey::Delete)
        cursor.removeSelectedText();
    setTextCursor(cursor);
    return true;
}

void JoinedLinesEdit::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() ||
        style()->styleHint(QStyle::SH_RichText_FullWidthSelection, nullptr, this))
        return;
    // The base marks a selected paragraph end with a bar a quarter of the line high wide after
    // the line; a selected line separator gets the same.
    const QBrush highlight =
        palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    QPainter painter(viewport());
    const QPointF offset = contentOffset();
    const QRectF painted = event->rect();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF geometry = blockBoundingGeometry(block).translated(offset);
        if (geometry.top() > painted.bottom())
            break;
        // A paragraph may be one long line wrapped thousands of times: only the lines in the
        // painted rectangle are looked at, the first of them found by halves.
        const QTextLayout& layout = *block.layout();
        int first = 0;
        for (int count = layout.lineCount(); count > 0;) {
            const int half = count / 2;
            if (geometry.top() + layout.lineAt(first + half).rect().bottom() < painted.top()) {
                first += half + 1;
                count -= half + 1;
            } else {
                count = half;
            }
        }
        for (int i = first; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            if (geometry.top() + line.y() > painted.bottom())
                break;
            const int end = block.position() + line.textStart() + line.textLength() - 1;
            if (line.textLength() == 0 || end < cursor.selectionStart() ||
                end >= cursor.selectionEnd() ||
                document()->characterAt(end) != QChar::LineSeparator)
                continue;
            const QRectF text = line.naturalTextRect().translated(geometry.topLeft());
            painter.fillRect(QRectF(text.right(), text.top(), text.height() / 4, text.height()),
                             highlight);
        }
    }
}

} // namespace pennoro
