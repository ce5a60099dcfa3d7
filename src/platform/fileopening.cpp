#include "platform/fileopening.h"

#include "platform/filereasons.h"
#include "platform/textfile.h"

#include <QSaveFile>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace pennoro::fileopening {

namespace {

bool nothingExistsAt(const QString& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path.toStdU16String(), error);
    return status.type() == std::filesystem::file_type::not_found;
}

Failure failureBecause(const QString& path, const QString& reason)
{
    return {textfile::displayPath(path), reason};
}

#ifdef Q_OS_UNIX

// The system's reason for the last failed call.
Failure systemFailure(const QString& path)
{
    return failureBecause(path, filereasons::ofSystemError(errno));
}

bool isRegular(int fd)
{
    struct stat status {};
    return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// Something other than a regular file or a folder under the name, links followed.
bool isPipeOrDevice(const QString& path)
{
    struct stat status {};
    return stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode) &&
           !S_ISDIR(status.st_mode);
}

// Opens an existing pipe or device itself for writing; nothing when the name holds a regular file
// after all (it may have been replaced since it was looked at).
Result<std::unique_ptr<QFileDevice>> openPipeOrDevice(const QString& path)
{
    // Not waiting for a reader: a pipe without one fails at once (ENXIO).
    const int fd =
        open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENXIO ? failureBecause(path, filereasons::noReceiver) : systemFailure(path);
    if (isRegular(fd)) {
        close(fd);
        return std::unique_ptr<QFileDevice>();
    }
    // A reader is there: the writes may wait for it to take the bytes, as on any pipe.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                    QFileDevice::AutoCloseHandle)) {
        close(fd);
        return failureOf(path, *file);
    }
    return std::unique_ptr<QFileDevice>(std::move(file));
}

#endif

} // namespace

Failure failureOf(const QString& path, const QFileDevice& file)
{
    return failureBecause(path, filereasons::ofDevice(file));
}

Result<Found> openForReading(QFile& file, const QString& path, qint64 largest)
{
#ifdef Q_OS_UNIX
    // Not waiting for a writer on a pipe; the type is checked on what was opened, not on the name.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nothingExistsAt(path) ? Result<Found>(Found::Nothing) : systemFailure(path);
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || status.st_size > largest) {
        close(fd);
        return failureBecause(path, regular ? filereasons::tooLarge : filereasons::notRegularFile);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return failureOf(path, file);
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return nothingExistsAt(path) ? Result<Found>(Found::Nothing) : failureOf(path, file);
    if (!QFileInfo(path).isFile())
        return failureBecause(path, filereasons::notRegularFile);
    if (file.size() > largest)
        return failureBecause(path, filereasons::tooLarge);
#endif
    return Found::File;
}

Result<std::unique_ptr<QFileDevice>> openForWriting(const QString& path)
{
#ifdef Q_OS_UNIX
    if (isPipeOrDevice(path)) {
        Result<std::unique_ptr<QFileDevice>> opened = openPipeOrDevice(path);
        if (!opened.ok() || opened.value())
            return opened;
    }
#endif
    auto file = std::make_unique<QSaveFile>(path);
    // In place only where it must be: that write is not atomic.
    file->setDirectWriteFallback(true);
    // Unbuffered, so that every write reports its own failure: commit() would not report a last
    // buffered write that the disk cut short.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failureOf(path, *file);
    return std::unique_ptr<QFileDevice>(std::move(file));
}

Outcome finishWriting(const QString& path, QFileDevice& file)
{
    if (auto* replacement = qobject_cast<QSaveFile*>(&file)) {
        if (!replacement->commit())
            return failureOf(path, file);
        return Done{};
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failureOf(path, file);
    return Done{};
}

void abandonWriting(QFileDevice& file)
{
    if (auto* replacement = qobject_cast<QSaveFile*>(&file))
        replacement->cancelWriting();
}

} // namespace pennoro::fileopening
