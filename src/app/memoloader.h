#pragma once

#include "memo/memostore.h"
#include "platform/result.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QString>

#include <atomic>
#include <chrono>
#include <future>

class QLabel;

namespace pennoro {

class MainWindow;

// Reads and decodes the memo store on a thread of its own, so that the reading overlaps Qt's own
// start-up. Start it first thing in main(), before the QApplication.
class StoreReading {
public:
    explicit StoreReading(const QString& path = memostore::fileName,
                          std::chrono::milliseconds quiet = std::chrono::milliseconds(500));

    // Whether the reading has ended, waiting for it until `deadline` at the most.
    bool waitUntil(QDeadlineTimer deadline) const;
    // How much of the store has been read, in percent.
    int percent() const { return percent_.load(); }
    // Waits for the reading to end and gives its result. Call it once.
    Result<QString> take();
    // Half a second after the start of the reading: a load that lasts longer says how far it has
    // come.
    QDeadlineTimer quietUntil() const { return quietUntil_; }

private:
    QDeadlineTimer quietUntil_;
    std::atomic<int> percent_{0};
    std::future<Result<QString>> result_;
};

// The note over the strip of labels below the memo that says how far a long load has come: the
// reading of the store first, then the filling of the memo. It shows from `quietUntil` on; the
// labels' commands cannot run before the memo is whole anyway.
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

// Waits for the store to be read. One that takes long shows the window meanwhile, with the note;
// input waits for the memo. Returns false when the window was closed before the reading ended.
bool waitForStore(MainWindow& window, StoreReading& reading, LoadingNote& note);

// Shows the window with the memo: the memo's first lines at once, the rest added while the window
// shows, with the note for a long load. Typing and clicks wait for the end of the load. Returns
// when the whole memo is in the window or when the window was closed.
void showWithMemo(MainWindow& window, QString memo, LoadingNote& note);

} // namespace startup
} // namespace pennoro
