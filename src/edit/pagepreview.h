#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace pennoro {

class MemoEdit;
class Prompts;
class Shell;

// The memory menu's browser preview: the memo as a page in the user's browser, through a file of
// its own that nothing else reads or writes.
namespace pagepreview {

// The page as the browser gets it: a byte order mark and the memo in UTF-8, so that the browser
// reads every character right whatever the page's own charset says. Unless the page has a <BASE>
// of its own, a <BASE HREF> for `folder` lets its relative links and images resolve there; it
// goes right after a leading <!DOCTYPE> (white space and comments may stand before it), so the
// page keeps its rendering mode, else at the very start.
QByteArray pageBytes(QStringView memo, const QString& folder);

// Writes the memo's page, with the current folder as its base, to the preview file in the
// program's runtime folder and opens it in the browser. Nothing else changes; a failure (no
// runtime folder, the file not written, no browser) is reported.
void show(const MemoEdit& memo, Shell& shell, Prompts& prompts);

} // namespace pagepreview
} // namespace pennoro
