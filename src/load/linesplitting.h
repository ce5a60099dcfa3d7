#pragma once

#include <QBasicTimer>
#include <QObject>

namespace pennoro {

class MemoEdit;

// Gives every line that a long load put into a shared paragraph a paragraph of its own again, a
// few at a time whenever the program is idle, so that the memo ends as one loaded a line to a
// paragraph. It stops for good at the first change to the memo's undo history: the split must not
// become a step that the user could undo. Deletes itself when done.
class LineSplitting : public QObject {
    Q_OBJECT

public:
    // Starts splitting; the memo owns the object, which goes when the split ends.
    static LineSplitting* start(MemoEdit& memo);

protected:
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit LineSplitting(MemoEdit& memo);
    bool userHoldsParagraph() const;
    void waitForUser();
    // Splits paragraphs for a few milliseconds; whether any are left.
    bool splitSome();
    int topPosition() const;
    void keepAtTop(int position);

    MemoEdit& memo_;
    QBasicTimer idle_;
    bool waiting_ = false;
    int nextBlock_ = 0;
};

} // namespace pennoro
