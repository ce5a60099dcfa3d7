#pragma once

#include "load/inputhold.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QTextCursor;

namespace pennoro {

class MemoEdit;
class SharedParagraphs;

// Fills the memo with a long text head first: the first lines at once, so that the window can
// show them, and the rest afterwards, a piece at a time, while the window keeps painting. The
// memo ends as MemoEdit::loadText leaves it: the same lines, the caret at the start, no undo
// history, the same scroll range; only the lines in the middle share paragraphs, several to one,
// until they get their own again (SharedParagraphs).
class MemoFill : public QObject {
    Q_OBJECT

public:
    MemoFill(MemoEdit& memo, QString text);
    ~MemoFill() override;

    // Puts the first lines (all of a short text) into the memo with a fresh undo history. From
    // here to the end of fillRest, input that reaches the memo waits.
    void fillHead();
    // Whether fillRest has anything left to add.
    bool hasRest() const { return filled_ < text_.size(); }
    // Adds the rest. Between pieces the window repaints and timers run; what the user types or
    // clicks in the meantime waits and follows afterwards, in order, as if typed after the load.
    // Whether the memo is whole: closing the window gives the rest up (and what was typed), and
    // the memo then holds only part of the text.
    [[nodiscard]] bool fillRest();
    // The paragraphs that hold several of the memo's lines, if any; the memo owns them.
    SharedParagraphs* sharedParagraphs() const { return shared_; }

signals:
    // How much of the text is in the memo, in percent; now and then during fillRest.
    void progressed(int percent);

private:
    qsizetype endOfLines(qsizetype from, int lines) const;
    qsizetype cutInLongLine(qsizetype headEnd) const;
    qsizetype startOfLastLines(int lines) const;
    void appendPiece(QTextCursor& end);
    bool appendRest();
    void forgetHeadLayouts(int headBlocks);

    MemoEdit& memo_;
    QString text_;
    qsizetype filled_ = 0;
    // Where the last lines start, which go in one to a paragraph as the first do.
    qsizetype tail_ = 0;
    QPointer<SharedParagraphs> shared_;
    std::optional<InputHold> held_;
};

} // namespace pennoro
