#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QStringView>

class QTextBlock;
class QTextCursor;

namespace pennoro {

class MemoEdit;

// The paragraphs into which a long load puts several of the memo's lines, joined by line
// separators, until each line gets a paragraph of its own again: the one place that joins them,
// counts their lines and splits them. The memo owns it; it goes once no paragraph is shared.
//
// The split runs whenever the program is idle, a few milliseconds at a time, and changes nothing
// the user sees. It stops at the first change to the memo's undo history (it must never become a
// step the user could undo), and for good when memory runs short (each line's paragraph takes
// more); the paragraphs left shared then stay so, and behave as lines anyway.
class SharedParagraphs : public QObject {
    Q_OBJECT

public:
    explicit SharedParagraphs(MemoEdit& memo);

    // Appends `lines` at `end`, several to a paragraph where they look there exactly as alone
    // (linejoining), and counts their lines.
    void append(QTextCursor& end, QStringView lines);
    // Starts splitting.
    void split();
    bool isSplitting() const { return idle_.isActive() || waiting_; }

    // A paragraph not laid out counts one line in the memo's scroll range; one that holds several
    // of the memo's lines must count them all, as they count once split.
    static void countUnlaidLines(QTextBlock block);

signals:
    // The split has ended: no paragraph is shared any more, or an edit stopped it for good.
    void splitEnded();

protected:
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void endSplit(bool whole);
    bool userHoldsParagraph() const;
    void waitForUser();
    enum class Slice { More, Whole, OutOfMemory };
    // Splits paragraphs for a few milliseconds.
    Slice splitSome();
    int topPosition() const;
    void keepAtTop(int position);
    void countLinesAfterWidthChange();

    MemoEdit& memo_;
    QBasicTimer idle_;
    bool waiting_ = false;
    // Paragraphs before this one share nothing any more.
    int nextBlock_ = 0;
};

} // namespace pennoro
