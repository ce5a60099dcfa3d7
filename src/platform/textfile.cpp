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
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, file);
    // Flushed here because commit() does not report a last write that the disk cut short.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        FileResult result = failure(path, file);
        file.cancelWriting();
        return result;
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
