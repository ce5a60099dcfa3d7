#pragma once

#include "memo/memostore.h"
#include "platform/result.h"

#include <QDeadlineTimer>
#include <QString>

#include <chrono>
#include <future>

namespace pennoro {

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
    // Waits for the reading to end and gives its result. Call it once. A memo that would not fit
    // the memory left once in the window fails here, before it goes in.
    Result<QString> take();
    // Half a second after the start of the reading: a load that lasts longer says how far it has
    // come.
    QDeadlineTimer quietUntil() const { return quietUntil_; }
    // The store as messages name it.
    QString displayPath() const;

private:
    QString path_;
    QDeadlineTimer quietUntil_;
    memostore::LoadProgress progress_;
    std::future<Result<QString>> result_;
};

} // namespace pennoro
