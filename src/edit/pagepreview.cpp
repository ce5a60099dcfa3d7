#include "edit/pagepreview.h"

#include "common/messages.h"
#include "common/texts.h"
#include "memo/memoedit.h"
#include "platform/runtimefolder.h"
#include "platform/shell.h"
#include "platform/textfile.h"

#include <QDir>
#include <QUrl>

namespace pennoro::pagepreview {

namespace {

// The same name each time, so that a browser tab showing the page reloads the newest.
const QString fileName = QStringLiteral("preview.html");

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Where a doctype at the start of the page ends; before it may stand white space, a byte order
// mark and comments (also "<?xml ...?>", which HTML reads as one), as browsers allow. 0 when there
// is none.
qsizetype afterDoctype(QStringView page)
{
    qsizetype at = 0;
    for (;;) {
        while (at < page.size() && (isHtmlSpace(page[at]) || page[at] == QChar(0xFEFF)))
            ++at;
        const QStringView rest = page.sliced(at);
        qsizetype end = -1;
        if (rest.startsWith(u"<!--")) {
            end = rest.indexOf(u"-->", 4);
            if (end >= 0)
                end += 3;
        } else if (rest.startsWith(u"<?") || rest.startsWith(u"<!DOCTYPE", Qt::CaseInsensitive)) {
            end = rest.indexOf(u'>');
            if (end >= 0)
                end += 1;
        }
        if (end < 0)
            return 0;
        at += end;
        if (rest.startsWith(u"<!DOCTYPE", Qt::CaseInsensitive))
            return at;
    }
}

// A <BASE> tag anywhere, in any case; <BASEFONT> is another tag.
bool hasBase(QStringView page)
{
    const QStringView tag = u"<base";
    for (qsizetype at = page.indexOf(tag, 0, Qt::CaseInsensitive); at >= 0;
         at = page.indexOf(tag, at + 1, Qt::CaseInsensitive)) {
        const qsizetype next = at + tag.size();
        if (next == page.size() || isHtmlSpace(page[next]) || page[next] == u'>' ||
            page[next] == u'/')
            return true;
    }
    return false;
}

QString baseTag(const QString& folder)
{
    const QString path = folder.endsWith(u'/') ? folder : folder + u'/';
    const QString href = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    return QStringLiteral("<BASE HREF=\"%1\">").arg(href.toHtmlEscaped());
}

Outcome writeAndOpen(const MemoEdit& memo, Shell& shell)
{
    const Result<QString> folder = runtimefolder::ownFolder();
    if (!folder.ok())
        return folder.failure();
    const QString path = QDir(folder.value()).filePath(fileName);
    const Outcome written =
        textfile::writeAtomically(path, pageBytes(memo.wholeText(), QDir::currentPath()));
    if (!written.ok())
        return written;
    if (!shell.openFile(QUrl::fromLocalFile(path)))
        return Failure{textfile::displayPath(path), texts::noBrowser};
    return Done{};
}

} // namespace

QByteArray pageBytes(QStringView memo, const QString& folder)
{
    QByteArray bytes("\xEF\xBB\xBF");
    if (hasBase(memo)) {
        bytes += memo.toUtf8();
        return bytes;
    }
    const qsizetype at = afterDoctype(memo);
    bytes += memo.first(at).toUtf8();
    bytes += baseTag(folder).toUtf8();
    bytes += memo.sliced(at).toUtf8();
    return bytes;
}

void show(const MemoEdit& memo, Shell& shell, Prompts& prompts)
{
    const Outcome shown = writeAndOpen(memo, shell);
    if (!shown.ok())
        messages::report(prompts, messages::previewFailed(shown.failure()));
}

} // namespace pennoro::pagepreview
