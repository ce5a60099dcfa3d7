#pragma once

#include "platform/textfile.h"

#include <QString>

// Reports of file failures: what failed, on which file, and why.
namespace pennoro::messages {

QString writeFailed(const FileResult& failure);
QString readFailed(const FileResult& failure);

} // namespace pennoro::messages
