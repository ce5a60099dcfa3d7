#include "platform/textfile.h"

#include "platform/cp932codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace pennoro::textfile {

namespace {

Failure failure(const QString& path, const QFileDevice& file)
{
    // A failure must never read as success.
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
Outcome writeAll(const QString& path, QSaveFile& file, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return failure(path, file);
        done += written;
    }
    return Done{};
}

// Replaces the file with what `produce` writes through the function it is given; `produce`
// answers with the first failure, its own or that of a write.
template <typename Produce> Outcome writeWith(const QString& path, Produce produce)
{
    QSaveFile file(path);
    // Unbuffered, so that every write reports its own failure: commit() would not report a last
    // buffered write that the disk cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, file);
    const Outcome produced =
        produce([&](QByteArrayView bytes) { return writeAll(path, file, bytes); });
    if (!produced.ok()) {
        file.cancelWriting();
        return produced;
    }
    if (!file.commit())
        return failure(path, file);
    return Done{};
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

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

Outcome writeAtomically(const QString& path, QByteArrayView bytes)
{
    return writeWith(path, [bytes](auto write) { return write(bytes); });
}

Outcome writeText(const QString& path, QStringView text)
{
    return writeWith(path, [&path, text](auto write) mutable -> Outcome {
        while (!text.isEmpty()) {
            const QStringView piece = nextPiece(text);
            const Result<cp932::Encoded> encoded = cp932::encode(piece);
            if (!encoded.ok())
                return Failure{displayPath(path), encoded.failure().reason};
            if (const Outcome written = write(encoded.value().bytes); !written.ok())
                return written;
            text = text.sliced(piece.size());
        }
        return write("\r\n");
    });
}

Result<std::optional<QByteArray>> readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (nothingExistsAt(path))
            return std::optional<QByteArray>();
        return failure(path, file);
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(path, file);
    return std::optional<QByteArray>(std::move(bytes));
}

} // namespace pennoro::textfile
