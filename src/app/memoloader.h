#pragma once

#include "memo/memostore.h"
#include "platform/result.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QString>

#include <chrono>
#include <future>

class QLabel;

namespace pennoro {

class MainWindow;
class Prompts;

// Reads and decodes the memo store on a thread of its own, so that the reading overlaps Qt's own
// start-up. Start it first thing in main(), before the QApplication.
class StoreReading {
public:
    explicit StoreReading(const QString& path = memostore::fileName,
                          std::chrono::milliseconds quiet = std::chrono::milliseconds(500));
    // A reading still going on is given up: the program ends without waiting for it.
    ~StoreReading();
    StoreReading(const StoreReading&) = delete;
    StoreReading& operator=(const StoreReading&) = delete;

    // Whether the reading has ended, waiting for it until `deadline` at the most.
    bool waitUntil(QDeadlineTimer deadline) const;
    // How much of the store has been read, in percent.
    int percent() const { return progress_.percent.load(); }
    // Waits for the reading to end and gives its result. Call it once.
    Result<QString> take();
    // Half a second after the start of the reading: a load that lasts longer says how far it has
    // come.
    QDeadlineTimer quietUntil() const { return quietUntil_; }

private:
    QDeadlineTimer quietUntil_;
    memostore::LoadProgress progress_;
    std::future<Result<QString>> result_;
};

// The note over the strip of labels below the memo that says how far a long load has come: the
// reading of the store first, then the filling of the memo. It shows from `quietUntil` on, while
// clicks wait for the memo anyway, and goes with the object, at the end of the load.
class LoadingNote {
public:
    LoadingNote(MainWindow& window, QDeadlineTimer quietUntil);
    ~LoadingNote();
    LoadingNote(const LoadingNote&) = delete;
    LoadingNote& operator=(const LoadingNote&) = delete;

    // How far the reading has come, in percent.
    void reading(int percent);
    // How far the filling has come, in percent.
    void filling(int percent);

private:
    void show(int percent);

    QPointer<QLabel> label_;
    QDeadlineTimer quietUntil_;
    bool readSlowly_ = false;
};

namespace startup {

enum class Loaded {
    Whole,   // the memo is in the window, which shows it
    Failed,  // the store could not be read; the user was told, and the program ends
    GivenUp, // the window was closed before the memo was whole; the program ends
};

// Loads the store into the window's memo and shows the window. A store that takes long to read
// shows the window meanwhile, with the note; the memo's first lines show at once, the rest follows
// while the window paints. Typing and clicks wait for the whole memo and then follow in order;
// closing the window gives the load up at once.
[[nodiscard]] Loaded load(MainWindow& window, StoreReading& reading, Prompts& prompts);

// The last step of the load: shows the window with the memo, its first lines at once, the rest
// added while the window shows, with the note for a long load. Whether the memo is whole.
[[nodiscard]] bool showWithMemo(MainWindow& window, QString memo, LoadingNote& note);

} // namespace startup
} // namespace pennoro
