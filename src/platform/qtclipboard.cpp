#include "platform/qtclipboard.h"

#include "platform/lineends.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pennoro {

namespace {

QClipboard* systemClipboard()
{
    return qGuiApp ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

bool QtClipboard::clear()
{
    // Clearing cannot be checked afterwards: on Wayland the other program's offer is still
    // announced until the compositor answers, and clipboard managers may refill an empty
    // clipboard at any time.
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return false;
    clipboard->clear();
    return true;
}

bool QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return false;
    const QString qtText = lineends::toNewlines(text);
    clipboard->setText(qtText);
    // QClipboard reports nothing itself. While the program owns the clipboard, Qt hands back the
    // data just set without asking the window system again, so this check stays cheap; when the
    // window system kept another owner, the data shown is that owner's.
    const QMimeData* data = clipboard->mimeData();
    return data && data->hasText() && data->text() == qtText;
}

std::optional<QString> QtClipboard::text()
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return std::nullopt;
    // Some platforms have no data at all for an empty clipboard.
    const QMimeData* data = clipboard->mimeData();
    if (!data || !data->hasText())
        return QString();
    // LF, CR, CR LF, and paragraph and line separators as some programs put them.
    return lineends::toCrLf(data->text());
}

} // namespace pennoro
