#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QMainWindow;

namespace pennoro {

class LoadingNote;
class MemoEdit;
class Prompts;
class StoreReading;

// The memo's way from the store into the window, phase by phase:
//   Reading    the store is read on its thread; a reading that takes long shows the window
//              meanwhile, with a note that says how far the load has come;
//   Head       the memo's first lines go in and the window shows them;
//   Rest       the rest goes in a piece at a time while the window paints, the lines between the
//              head and the tail several to a paragraph (SharedParagraphs);
//   Splitting  the memo is whole and answers; whenever the program idles, the shared paragraphs
//              get their lines back;
//   Done       every line has a paragraph of its own again, or an edit stopped the split for good.
// A load ends early in one of two ways:
//   Failed     the store could not be read; the user was told, and the program ends;
//   Abandoned  the window was closed before the memo was whole; the memo holds only part of the
//              store, and the program ends without it.
// From the start to the end of Rest, what the user types and clicks waits, and then follows in
// order as if typed after the load; an abandoned load drops it.
class MemoLoad : public QObject {
    Q_OBJECT

public:
    enum class Phase { Reading, Head, Rest, Splitting, Done, Failed, Abandoned };
    Q_ENUM(Phase)

    // The window holds the memo and shows the note over its central area.
    MemoLoad(QMainWindow& window, MemoEdit& memo);
    ~MemoLoad() override;

    // Runs the load up to the whole memo in the shown window. Gives the phase it stopped in:
    // Splitting or Done with the whole memo, Failed or Abandoned without it.
    [[nodiscard]] Phase run(StoreReading& reading, Prompts& prompts);
    // The same from Head on, for a memo already read.
    [[nodiscard]] Phase run(QString memo);

    Phase phase() const { return phase_; }

signals:
    void phaseChanged(pennoro::MemoLoad::Phase phase);

private:
    bool waitForStore(StoreReading& reading, LoadingNote& note);
    Phase fill(QString memo, LoadingNote& note);
    void waitForFirstPaint();
    void enter(Phase phase);

    QMainWindow& window_;
    MemoEdit& memo_;
    Phase phase_ = Phase::Reading;
};

} // namespace pennoro
