#include "platform/textfile.h"

#include "platform/cp932codec.h"
#include "platform/fileopening.h"
#include "platform/filereasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

namespace pennoro::textfile {

namespace {

// Writes all of the bytes, or fails with the system's reason: a disk that fills up cuts a write
// short without a reason, and writing the rest gets it ("File too large", "No space left").
Outcome writeAll(const QString& path, QFileDevice& file, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return fileopening::failureOf(path, file);
        done += written;
    }
    return Done{};
}

// Long texts are encoded a piece at a time, so that a large text is never held a second time
// (as bytes) while it is written.
constexpr qsizetype encodingPiece = 1 << 16;

QStringView nextPiece(QStringView text)
{
    qsizetype size = std::min(text.size(), encodingPiece);
    // Never between the two halves of a surrogate pair.
    if (size < text.size() && text[size - 1].isHighSurrogate() && text[size].isLowSurrogate())
        --size;
    return text.first(size);
}

Outcome writeEncoded(const QString& path, QStringView text, const WriteBytes& write)
{
    while (!text.isEmpty()) {
        const QStringView piece = nextPiece(text);
        const Result<cp932::Encoded> encoded = cp932::encode(piece);
        if (!encoded.ok())
            return Failure{displayPath(path), encoded.failure().reason};
        if (const Outcome written = write(encoded.value().bytes); !written.ok())
            return written;
        text = text.sliced(piece.size());
    }
    return Done{};
}

} // namespace

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

Outcome writeAtomically(const QString& path, const ProduceBytes& produce)
{
    std::unique_ptr<QFileDevice> file;
    Outcome produced = Done{};
    try {
        Result<std::unique_ptr<QFileDevice>> opened = fileopening::openForWriting(path);
        if (!opened.ok())
            return opened.failure();
        file = std::move(opened.value());
        produced = produce([&](QByteArrayView bytes) { return writeAll(path, *file, bytes); });
    } catch (const std::bad_alloc&) {
        // What the producer held is free again, enough for the report; the earlier file stays.
        produced = Failure{displayPath(path), filereasons::outOfMemory};
    }
    if (!produced.ok()) {
        if (file)
            fileopening::abandonWriting(*file);
        return produced;
    }
    return fileopening::finishWriting(path, *file);
}

Outcome writeAtomically(const QString& path, QByteArrayView bytes)
{
    return writeAtomically(path, [bytes](const WriteBytes& write) { return write(bytes); });
}

Outcome writeText(const QString& path, QStringView text)
{
    return writeAtomically(path, [&path, text](const WriteBytes& write) {
        const Outcome written = writeEncoded(path, text, write);
        return written.ok() ? write("\r\n") : written;
    });
}

Outcome writeText(const QString& path, const NextText& next)
{
    return writeAtomically(path, [&path, &next](const WriteBytes& write) -> Outcome {
        // The first half of a surrogate pair that ended a piece waits for the second half, so that
        // the pair is one character reference, as when the text is encoded at one go.
        QString waiting;
        while (std::optional<QString> piece = next()) {
            QString text = waiting.isEmpty() ? std::move(*piece) : waiting + *piece;
            waiting.clear();
            if (!text.isEmpty() && text.back().isHighSurrogate()) {
                waiting = text.back();
                text.chop(1);
            }
            if (const Outcome written = writeEncoded(path, text, write); !written.ok())
                return written;
        }
        const Outcome written = writeEncoded(path, waiting, write);
        return written.ok() ? write("\r\n") : written;
    });
}

Result<std::optional<QByteArray>> readWhole(const QString& path, qint64 largest)
{
    QFile file;
    const Result<fileopening::Found> opened = fileopening::openForReading(file, path, largest);
    if (!opened.ok())
        return opened.failure();
    if (opened.value() == fileopening::Found::Nothing)
        return std::optional<QByteArray>();
    const Failure tooLarge{displayPath(path), filereasons::tooLarge};
    try {
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fileopening::failureOf(path, file);
        // It may have grown since it was opened.
        if (bytes.size() > largest)
            return tooLarge;
        return std::optional<QByteArray>(std::move(bytes));
    } catch (const std::bad_alloc&) {
        // More than the memory the program may have, though within the size it reads.
        return tooLarge;
    }
}

} // namespace pennoro::textfile
