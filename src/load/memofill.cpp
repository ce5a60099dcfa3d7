#include "load/memofill.h"

#include "load/sharedparagraphs.h"
#include "memo/memoedit.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace pennoro {

namespace {

// The first lines fill the first screen and more: the window shows them before the rest comes.
constexpr int headLines = 300;
// A longer line in the head goes in with only its start, which fills the first screen and more;
// its rest follows with the rest of the memo: a paragraph is laid out whole, and one of millions of
// characters takes a second.
constexpr qsizetype longLine = 16384;
// The last lines stay one to a paragraph, as the head does: the memo works out its scroll range
// from the laid-out paragraphs at the end, and a paragraph of several lines would count wrapped
// lines that one line to a paragraph leaves uncounted until shown.
constexpr int tailLines = 300;
// The document spends most of its time per line, not per call: a few thousand lines a call keep
// the calls' own cost small and each call short.
constexpr int pieceLines = 2000;
// How long a run of pieces may keep the window from painting, in milliseconds.
constexpr qint64 eventInterval = 8;

} // namespace

MemoFill::MemoFill(MemoEdit& memo, QString text) : memo_(memo), text_(std::move(text)) {}

MemoFill::~MemoFill() = default;

qsizetype MemoFill::startOfLastLines(int lines) const
{
    qsizetype start = text_.size();
    for (int line = 0; line < lines && start > 0; ++line) {
        const qsizetype newline = QStringView(text_).lastIndexOf(u'\n', start - 1);
        if (newline < 0)
            return 0;
        start = newline;
    }
    return start < text_.size() ? start + 1 : start;
}

// Where the head ends when one of its lines is long: inside that line, never inside a character.
qsizetype MemoFill::cutInLongLine(qsizetype headEnd) const
{
    qsizetype start = 0;
    for (qsizetype at = 0; at < headEnd; ++at) {
        if (text_[at] == u'\n' || text_[at] == u'\r')
            start = at + 1;
        else if (at - start == longLine)
            return text_[at - 1].isHighSurrogate() ? at - 1 : at;
    }
    return headEnd;
}

qsizetype MemoFill::endOfLines(qsizetype from, int lines) const
{
    // Only after LF: a piece never ends between the CR and the LF of one line end, and every
    // other line end (CR alone, U+2029, ...) stays inside a piece, where the document reads it
    // as it reads it in the whole text.
    for (int line = 0; line < lines; ++line) {
        const qsizetype newline = QStringView(text_).indexOf(u'\n', from);
        if (newline < 0)
            return text_.size();
        from = newline + 1;
    }
    return from;
}

void MemoFill::fillHead()
{
    filled_ = cutInLongLine(endOfLines(0, headLines));
    if (!hasRest()) {
        memo_.loadText(text_);
        text_.clear();
        filled_ = 0;
        return;
    }
    memo_.loadText(text_.first(filled_));
    tail_ = qMax(filled_, startOfLastLines(tailLines));
    held_.emplace();
}

bool MemoFill::fillRest()
{
    if (!hasRest())
        return true;
    if (!appendRest()) {
        held_->discard();
        held_.reset();
        return false;
    }
    emit progressed(100);
    held_.reset(); // what was typed meanwhile follows now
    return true;
}

void MemoFill::appendPiece(QTextCursor& end)
{
    qsizetype pieceEnd = endOfLines(filled_, pieceLines);
    // After a head that ends inside a long line, the rest of that line goes on in its paragraph.
    const bool lineGoesOn = text_[filled_ - 1] != u'\n';
    const bool joined = filled_ < tail_ && !lineGoesOn;
    if (lineGoesOn)
        pieceEnd = endOfLines(filled_, 1);
    else if (joined)
        pieceEnd = qMin(pieceEnd, tail_);
    const QStringView piece = QStringView(text_).sliced(filled_, pieceEnd - filled_);
    filled_ = pieceEnd;
    if (!joined) {
        end.insertText(piece.toString());
        return;
    }
    if (!shared_)
        shared_ = new SharedParagraphs(memo_);
    shared_->append(end, piece);
}

bool MemoFill::appendRest()
{
    QTextDocument& document = *memo_.document();
    QAbstractTextDocumentLayout& layout = *document.documentLayout();
    const int headBlocks = document.blockCount();
    // Nothing of the load is to be undone or counts as a change, as after loadText.
    const bool undoable = document.isUndoRedoEnabled();
    const bool modified = document.isModified();
    document.setUndoRedoEnabled(false);
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    // A window closed meanwhile ends the program: the rest is not needed then.
    const bool shown = memo_.isVisible();
    bool whole = true;
    {
        // The layout would otherwise have the memo work out its scroll range and repaint after
        // every piece; once at the end is enough.
        const QSignalBlocker quiet(layout);
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        while (hasRest() && whole) {
            appendPiece(end);
            if (sinceEvents.elapsed() >= eventInterval) {
                emit progressed(int(filled_ * 100 / text_.size()));
                // Input waits in the hold; a request to close the window comes through.
                QCoreApplication::processEvents();
                sinceEvents.restart();
                whole = memo_.isVisible() == shown;
            }
        }
    }
    text_.clear();
    filled_ = 0;
    document.setUndoRedoEnabled(undoable);
    document.setModified(modified);
    forgetHeadLayouts(headBlocks);
    emit layout.documentSizeChanged(layout.documentSize());
    return whole;
}

// Showing the head alone laid out its last paragraphs too, to find its scroll range. Loaded whole,
// those paragraphs in the middle of the memo would have no layout yet, and a wrapped one counts
// its lines in the scroll range only once laid out: without their layouts the memo's scroll
// range is the one the whole text gives.
void MemoFill::forgetHeadLayouts(int headBlocks)
{
    QTextBlock block = memo_.document()->firstBlock();
    // The first screen, painted, keeps its layouts: the whole text would have them as well.
    while (block.isValid() && block.blockNumber() < headBlocks && block.layout()->lineCount() > 0)
        block = block.next();
    // A paragraph whose layout a later change dropped may still count the lines it had.
    for (; block.isValid() && block.blockNumber() < headBlocks; block = block.next())
        SharedParagraphs::countUnlaidLines(block);
}

} // namespace pennoro
