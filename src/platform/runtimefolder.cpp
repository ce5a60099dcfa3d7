#include "platform/runtimefolder.h"

#include "platform/filereasons.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace pennoro::runtimefolder {

namespace {

Result<QString> userFolder()
{
#ifdef Q_OS_WIN
    // Windows' runtime location is the home folder; the temporary folder is the user's own.
    const QString location = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString named;
#else
    const QString location = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Where the session names a folder that is missing a user's own permissions, Qt falls back to
    // a folder of its own in the temporary folder: the page would not be where the user looks.
    const QString named = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!named.isEmpty() && !location.isEmpty() && QFileInfo(location) != QFileInfo(named))
        return Failure{textfile::displayPath(named), filereasons::noRuntimeFolder};
#endif
    if (location.isEmpty())
        return Failure{named.isEmpty() ? QString() : textfile::displayPath(named),
                       filereasons::noRuntimeFolder};
    return location;
}

} // namespace

Result<QString> ownFolder()
{
    const Result<QString> user = userFolder();
    if (!user.ok())
        return user.failure();
    const QString folder = QDir(user.value()).filePath(QStringLiteral("pennoro"));
#ifdef Q_OS_UNIX
    // For the user alone from the start: the umask may take permissions away, never add any.
    if (mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return Failure{textfile::displayPath(folder), qt_error_string(errno)};
#else
    QDir().mkdir(folder);
#endif
    if (!QFileInfo(folder).isDir())
        return Failure{textfile::displayPath(folder),
                       QFileInfo::exists(folder) ? filereasons::notFolder : filereasons::unknown};
    return folder;
}

} // namespace pennoro::runtimefolder
