#include "platform/shell.h"

#include <QDesktopServices>

namespace pennoro {

void QtShell::open(const QString& target)
{
    // A target nobody handles does nothing visible, by design.
    QDesktopServices::openUrl(QUrl(target, QUrl::StrictMode));
}

bool QtShell::openFile(const QUrl& file)
{
    // Files the program wrote, nothing else: their type's handler (for a page, the browser) opens
    // them.
    return file.isLocalFile() && QDesktopServices::openUrl(file);
}

} // namespace pennoro
