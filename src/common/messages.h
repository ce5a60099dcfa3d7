#pragma once

#include "platform/textfile.h"

#include <QString>

namespace pennoro {

class Prompts;

// Reports of file failures: what failed, on which file, and why.
namespace messages {

QString writeFailed(const FileResult& failure);
QString readFailed(const FileResult& failure);

} // namespace messages

// A failure of the clipboard or of a file, told to the user in a box titled with the program's
// name. The command that failed has changed nothing it could not finish.
void reportFailure(Prompts& prompts, const QString& text);

} // namespace pennoro
