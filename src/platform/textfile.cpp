#include "platform/textfile.h"

#include "platform/cp932codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <filesystem>
#include <optional>

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


// Writes all of the bytes, or fails with the system's reason: a disk that fills up cuts a write
// short without a reason, and writing the rest gets it ("File too large", "No space left").
bool writeAll(QSaveFile& file, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Replaces the file with what `produce` writes through the function it is given. `produce`
// returns an empty text on success, a reason of its own, or the text of a failed write.
template <typename Produce> FileResult writeAtomically(const QString& path, Produce produce)
{
    QSaveFile file(path);
    // Unbuffered, so that every write reports its own failure: commit() would not report a last
    // buffered write that the disk cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, file);
    const std::optional<QString> reason =
        produce([&file](QByteArrayView bytes) { return writeAll(file, bytes); });
    if (reason) {
        const FileResult result =
            reason->isEmpty() ? failure(path, file) : FileResult{displayPath(path), *reason};
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return failure(path, file);
    return {displayPath(path), {}};
}

// Long texts are encoded a piece at a time, so that a large memo is never held twice more (as
// text and as bytes) while it is written.
constexpr qsizetype encodingPiece = 1 << 20;

QStringView nextPiece(QStringView text)
{
    qsizetype size = std::min(text.size(), encodingPiece);
    // Never between the two halves of a surrogate pair.
    if (size < text.size() && text[size - 1].isHighSurrogate() && text[size].isLowSurrogate())
        --size;
    return text.first(size);
}

} // namespace

FileResult writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    return writeAtomically(path, [bytes](auto write) -> std::optional<QString> {
        if (!write(bytes))
            return QString();
        return std::nullopt;
    });
}

FileResult writeTextFile(const QString& path, QStringView text)
{
    return writeAtomically(path, [text](auto write) mutable -> std::optional<QString> {
        while (!text.isEmpty()) {
            const QStringView piece = nextPiece(text);
            const cp932::Encoded encoded = cp932::encode(piece);
            if (!encoded.failure.isEmpty())
                return encoded.failure;
            if (!write(encoded.bytes))
                return QString();
            text = text.sliced(piece.size());
        }
        if (!write("\r\n"))
            return QString();
        return std::nullopt;
    });
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
