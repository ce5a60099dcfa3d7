#pragma once

#include "platform/result.h"

#include <QDeadlineTimer>
#include <QString>

#include <future>

namespace pennoro {

class MainWindow;

// Reads and decodes the memo store on a thread of its own, so that the reading overlaps Qt's own
// start-up. Start it first thing in main(), before the QApplication.
class StoreReading {
public:
    StoreReading();

    // Waits for the reading to end and gives its result. Call it once.
    Result<QString> take();
    // Half a second after the start of the reading: a load that lasts longer says how far it has
    // come.
    QDeadlineTimer quietUntil() const { return quietUntil_; }

private:
    QDeadlineTimer quietUntil_;
    std::future<Result<QString>> result_;
};

namespace startup {

// Shows the window with the memo: the memo's first lines at once, the rest added while the window
// shows, with a note of how far the load has come from `quietUntil` on.
// Typing and clicks wait for the end of the load. Returns when the whole memo is in the window or
// when the window was closed.
void showWithMemo(MainWindow& window, QString memo, QDeadlineTimer quietUntil);

} // namespace startup
} // namespace pennoro
