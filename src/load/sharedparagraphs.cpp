#include "load/sharedparagraphs.h"

#include "load/linejoining.h"
#include "load/loadroom.h"
#include "memo/memoedit.h"
#include "memo/memolines.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimerEvent>

#include <new>

namespace pennoro {

namespace {

// How long one run of splitting may keep keys and clicks waiting, in milliseconds.
constexpr qint64 sliceTime = 4;
// Lines to a paragraph at the most: the document's cost is mostly per paragraph, and a paragraph
// is laid out whole.
constexpr int linesPerParagraph = 16;
// How many paragraphs are split between two looks at the memory left: a look reads a file of the
// system, and 64 paragraphs of short lines take a few hundred kilobytes.
constexpr int splitsPerRoomCheck = 64;

// Puts each line of the paragraph into a paragraph of its own: the paragraph's text once more,
// with paragraph ends for its line separators. Call it inside an edit block, where moving a cursor
// lays nothing out. Returns the last of the new paragraphs.
QTextBlock splitParagraph(QTextCursor& cursor, const QTextBlock& block)
{
    QString text = block.text();
    const int start = block.position();
    const int parts = int(text.count(QChar::LineSeparator)) + 1;
    text.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
    cursor.setPosition(start);
    cursor.setPosition(start + block.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    // Not laid out, each part counts one line in the scroll range, as a loaded line does; the
    // first part would go on counting the lines of the whole paragraph.
    QTextBlock part = cursor.document()->findBlock(start);
    for (int i = 1; i < parts; ++i, part = part.next())
        SharedParagraphs::countUnlaidLines(part);
    SharedParagraphs::countUnlaidLines(part);
    return part;
}

} // namespace

SharedParagraphs::SharedParagraphs(MemoEdit& memo) : QObject(&memo), memo_(memo)
{
    // A new width: the plain text layout forgets every paragraph's lines, counts one line for
    // each, and says so with its default rectangle, before the memo works out its scroll range.
    connect(memo.document()->documentLayout(), &QAbstractTextDocumentLayout::update, this,
            [this](const QRectF& rect) {
                if (rect == QRectF(0., 0., 1000000000., 1000000000.))
                    countLinesAfterWidthChange();
            });
}

void SharedParagraphs::append(QTextCursor& end, QStringView lines)
{
    QTextBlock block = end.block();
    end.insertText(linejoining::joinLines(lines, linesPerParagraph));
    for (; block.isValid(); block = block.next())
        countUnlaidLines(block);
}

void SharedParagraphs::countUnlaidLines(QTextBlock block)
{
    block.clearLayout();
    block.setLineCount(memolines::count(block));
}

void SharedParagraphs::countLinesAfterWidthChange()
{
    QTextDocument& document = *memo_.document();
    for (QTextBlock block = document.findBlockByNumber(nextBlock_); block.isValid();
         block = block.next()) {
        if (block.isVisible())
            block.setLineCount(memolines::count(block));
    }
}

void SharedParagraphs::split()
{
    // A zero interval runs whenever nothing else is waiting.
    idle_.start(0, this);
}

void SharedParagraphs::endSplit(bool whole)
{
    idle_.stop();
    if (waiting_)
        QCoreApplication::instance()->removeEventFilter(this);
    waiting_ = false;
    emit splitEnded();
    if (whole) {
        deleteLater();
        return;
    }
    // Paragraphs left shared by an edit still count their lines after a width change, wherever
    // the edit moved them.
    nextBlock_ = 0;
}

void SharedParagraphs::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != idle_.timerId())
        return QObject::timerEvent(event);
    const QTextDocument& document = *memo_.document();
    if (document.isUndoAvailable() || document.isRedoAvailable())
        endSplit(false);
    else if (userHoldsParagraph())
        waitForUser();
    else if (const Slice slice = splitSome(); slice != Slice::More)
        endSplit(slice == Slice::Whole);
}

// A word being composed lives in its paragraph's layout, which a split would drop; a drag extends
// a selection it keeps with the paragraph's positions.
bool SharedParagraphs::userHoldsParagraph() const
{
    return !memo_.composition().isEmpty() || QGuiApplication::mouseButtons() != Qt::NoButton;
}

// Sleeps until the input method commits or drops its word or a mouse button comes up: looking
// again at every idle moment would keep a core busy for as long as the user composes.
void SharedParagraphs::waitForUser()
{
    idle_.stop();
    if (!waiting_)
        QCoreApplication::instance()->installEventFilter(this);
    waiting_ = true;
}

bool SharedParagraphs::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::InputMethod || type == QEvent::MouseButtonRelease) {
        // Looks again once the event has done its work.
        QCoreApplication::instance()->removeEventFilter(this);
        waiting_ = false;
        idle_.start(0, this);
    }
    return QObject::eventFilter(watched, event);
}

// Where the line at the top of the view starts. The memo counts its scroll position in lines
// of the view.
int SharedParagraphs::topPosition() const
{
    const int top = memo_.verticalScrollBar()->value();
    const QTextBlock block = memo_.document()->findBlockByLineNumber(top);
    const QTextLayout& layout = *block.layout();
    const int line = top - block.firstLineNumber();
    return block.position() + (line < layout.lineCount() ? layout.lineAt(line).textStart() : 0);
}

// A split paragraph no longer laid out counts fewer lines: the line that was at the top goes
// back there.
void SharedParagraphs::keepAtTop(int position)
{
    const QTextBlock block = memo_.document()->findBlock(position);
    memo_.document()->documentLayout()->blockBoundingRect(block); // lays it out
    const QTextLayout& layout = *block.layout();
    const int line = layout.lineCount() > 0
                         ? layout.lineForTextPosition(position - block.position()).lineNumber()
                         : 0;
    memo_.verticalScrollBar()->setValue(block.firstLineNumber() + line);
}

// Memory that runs short stops the slice before a paragraph is split: the lines keep their shared
// paragraphs. An allocation that fails anyway ends the slice too, the undo history and the edit
// block as they were.
SharedParagraphs::Slice SharedParagraphs::splitSome()
{
    QTextDocument& document = *memo_.document();
    // The split changes no character: the caret, the selection and the view stay where they are,
    // and the memo does not count as changed.
    const QTextCursor caret = memo_.textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    const int top = topPosition();
    const bool modified = document.isModified();
    document.setUndoRedoEnabled(false);
    QElapsedTimer slice;
    slice.start();
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    QTextBlock block = document.findBlockByNumber(nextBlock_);
    bool outOfMemory = false;
    {
        // The memo works out its scroll range once, after the slice.
        const QSignalBlocker quiet(layout);
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        try {
            for (int splits = 0; block.isValid() && slice.elapsed() < sliceTime;
                 block = block.next()) {
                if (!block.text().contains(QChar::LineSeparator))
                    continue;
                if (splits++ % splitsPerRoomCheck == 0 &&
                    !loadroom::fits(
                        loadroom::bytesNeeded(0, splitsPerRoomCheck * linesPerParagraph))) {
                    outOfMemory = true;
                    break;
                }
                block = splitParagraph(cursor, block);
            }
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        cursor.endEditBlock();
    }
    document.setUndoRedoEnabled(true);
    document.setModified(modified);
    if (!outOfMemory)
        nextBlock_ = block.isValid() ? block.blockNumber() : document.blockCount();
    try {
        emit layout.documentSizeChanged(layout.documentSize());
        if (memo_.textCursor().anchor() != anchor || memo_.textCursor().position() != position) {
            QTextCursor restored(&document);
            restored.setPosition(anchor);
            restored.setPosition(position, QTextCursor::KeepAnchor);
            memo_.setTextCursor(restored);
        }
        keepAtTop(top);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    if (outOfMemory)
        return Slice::OutOfMemory;
    return block.isValid() ? Slice::More : Slice::Whole;
}

} // namespace pennoro
