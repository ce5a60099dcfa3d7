#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace pennoro {

void QtShell::open(const QString& target)
{
    // A target nobody handles does nothing visible, by design.
    QDesktopServices::openUrl(QUrl(target, QUrl::StrictMode));
}

} // namespace pennoro
