#include "app/memorymenu.h"

#include "common/texts.h"
#include "edit/textexport.h"
#include "memo/memoedit.h"
#include "platform/prompts.h"

#include <QDir>
#include <QTextDocument>
#include <QWidget>

namespace pennoro::memorymenu {

void exportMemo(MemoEdit& memo, QWidget& window, Prompts& prompts)
{
    // Only the completely empty memo counts as empty: spaces or line ends alone are exported.
    if (memo.document()->isEmpty()) {
        prompts.message(texts::emptyMemoWarning, texts::emptyMemoTitle, Prompts::Icon::Warning);
        window.setWindowTitle(texts::normalCaption);
        return;
    }
    const QString path = textexport::chooseFile(prompts);
    // The caption would claim an export that did not happen: after a failed write it stays.
    if (!path.isEmpty() && !textexport::writeFile(path, memo.wholeTextInPieces(), prompts))
        return;
    window.setWindowTitle(texts::captionPrefix + QDir::toNativeSeparators(path));
}

void editReset(MemoEdit& memo, QWidget& window)
{
    memo.setWholeText({});
    window.setWindowTitle(texts::normalCaption);
}

} // namespace pennoro::memorymenu
