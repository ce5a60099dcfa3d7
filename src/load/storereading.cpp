#include "load/storereading.h"

#include <QThread>

namespace pennoro {

StoreReading::StoreReading(const QString& path, std::chrono::milliseconds quiet)
{
    quietUntil_.setRemainingTime(quiet);
    // The first thread that asks becomes Qt's main thread: this one, not the reader's.
    QThread::currentThread();
    result_ =
        std::async(std::launch::async, [this, path] { return memostore::load(path, &progress_); });
}

StoreReading::~StoreReading()
{
    progress_.givenUp = true;
}

bool StoreReading::waitUntil(QDeadlineTimer deadline) const
{
    if (deadline.isForever()) {
        result_.wait();
        return true;
    }
    return result_.wait_for(std::chrono::milliseconds(deadline.remainingTime())) ==
           std::future_status::ready;
}

Result<QString> StoreReading::take()
{
    return result_.get();
}

} // namespace pennoro
