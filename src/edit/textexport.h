#pragma once

#include "platform/textfile.h"

#include <QString>
#include <QStringView>

namespace pennoro {

class Prompts;

// Writing a text to a file the user chooses: the memo export and the clipboard save share the
// notice, the save dialog and the way a failed write is reported.
namespace textexport {

// Shows the notice that no overwrite check follows, then the save dialog with the text file
// filter. Returns the chosen full path, or the empty text when the user cancelled.
QString chooseFile(Prompts& prompts);

// Writes the text and one line end to the file. A failure is reported to the user with the path
// and the reason, and false is returned; the earlier file, if any, is left whole.
bool writeFile(const QString& path, QStringView text, Prompts& prompts);
// The same for a text given a piece at a time.
bool writeFile(const QString& path, const textfile::NextText& text, Prompts& prompts);

} // namespace textexport
} // namespace pennoro
