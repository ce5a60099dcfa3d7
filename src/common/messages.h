#pragma once

#include "platform/result.h"

#include <QString>

namespace pennoro {

class Prompts;

// Reports of failures: what failed, on which file, and why.
namespace messages {

QString writeFailed(const Failure& failure);
QString readFailed(const Failure& failure);
QString previewFailed(const Failure& failure);

// A failure of the clipboard or of a file, told to the user in a box titled with the program's
// name. The command that failed has changed nothing it could not finish.
void report(Prompts& prompts, const QString& text);

} // namespace messages
} // namespace pennoro
