#include "platform/textfile.h"

#include "platform/cp932codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>

namespace pennoro {

namespace {

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

FileResult failure(const QString& path, const QFileDevice& file)
{
    // A failure must never read as success, whose mark is an empty reason.
    QString reason = file.errorString();
    if (reason.isEmpty())
        reason = QStringLiteral("Unknown error");
    return {displayPath(path), reason};
}

bool nothingExistsAt(const QString& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path.toStdU16String(), error);
    return status.type() == std::filesystem::file_type::not_found;
}

} // namespace

FileResult writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that every write reports its own failure: commit() would not report a last
    // buffered write that the disk cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, file);
    // A disk that fills up cuts a write short without a reason; writing the rest gets the
    // system's reason ("File too large", "No space left on device").
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            FileResult result = failure(path, file);
            file.cancelWriting();
            return result;
        }
        done += written;
    }
    if (!file.commit())
        return failure(path, file);
    return {displayPath(path), {}};
}

FileResult writeTextFile(const QString& path, QStringView text)
{
    cp932::Encoded encoded = cp932::encode(text);
    if (!encoded.failure.isEmpty())
        return {displayPath(path), encoded.failure};
    encoded.bytes.append("\r\n");
    return writeFileAtomically(path, encoded.bytes);
}

ReadResult readWholeFile(const QString& path)
{
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = nothingExistsAt(path) ? ReadResult::Status::Missing
                                              : ReadResult::Status::Failed;
        result.error = failure(path, file);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadResult::Status::Failed;
        result.bytes.clear();
        result.error = failure(path, file);
        return result;
    }
    result.error.path = displayPath(path);
    return result;
}

} // namespace pennoro
