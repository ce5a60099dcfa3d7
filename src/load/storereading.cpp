#include "load/storereading.h"

#include "load/loadroom.h"
#include "platform/filereasons.h"
#include "platform/textfile.h"

#include <QThread>

#include <system_error>

namespace pennoro {

StoreReading::StoreReading(const QString& path, std::chrono::milliseconds quiet) : path_(path)
{
    quietUntil_.setRemainingTime(quiet);
    // The first thread that asks becomes Qt's main thread: this one, not the reader's.
    QThread::currentThread();
    try {
        result_ = std::async(std::launch::async,
                             [this, path] { return memostore::load(path, &progress_); });
    } catch (const std::system_error&) {
        // No thread to be had (a limit on memory or processes): the store is read here, before Qt
        // starts, rather than not at all.
        std::promise<Result<QString>> read;
        read.set_value(memostore::load(path, &progress_));
        result_ = read.get_future();
    }
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
    Result<QString> read = result_.get();
    if (read.ok() && !loadroom::memoFits(read.value()))
        return Failure{displayPath(), filereasons::tooLarge};
    return read;
}

QString StoreReading::displayPath() const
{
    return textfile::displayPath(path_);
}

} // namespace pennoro
