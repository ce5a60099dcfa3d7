#pragma once

#include "platform/result.h"

#include <QFile>
#include <QFileDevice>
#include <QString>

#include <memory>

// Opening the program's files the safe way: reading never waits on a pipe or a device and never
// takes in more than it may hold; writing replaces a file atomically where it can, writes it in
// place where the folder takes no new file, and writes into a pipe or device, never replacing it.
namespace pennoro::fileopening {

// The failure of a file device: the path as messages show it and its reason in Japanese.
Failure failureOf(const QString& path, const QFileDevice& file);

enum class Found { Nothing, File };

// Opens `file` on the regular file under `path` for reading. Nothing under the name is no failure;
// a folder, a pipe or a device is, and so is a file of more than `largest` bytes.
Result<Found> openForReading(QFile& file, const QString& path, qint64 largest);

// Opens the file under `path` for writing: a QSaveFile that replaces the file on commit or, where
// the folder may not take a new file but the file itself may be written, writes it in place; an
// existing pipe or device is opened itself, without waiting for a reader that is not there.
Result<std::unique_ptr<QFileDevice>> openForWriting(const QString& path);

// Commits or closes what openForWriting opened; the failure of the last step, if any.
Outcome finishWriting(const QString& path, QFileDevice& file);

// Leaves the earlier file as it was, where the writing allows it (a replacement not yet committed).
void abandonWriting(QFileDevice& file);

} // namespace pennoro::fileopening
