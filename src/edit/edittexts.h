#pragma once

#include <QString>

// The fixed texts of the edit and clipboard commands and of writing text files, exactly as the
// user sees them.
namespace pennoro::edittexts {

// Shown before the save dialog: an existing file is replaced without a question.
inline const QString outputNotice =
    QStringLiteral("ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!");
// The save dialog's one filter: the description shown, then the pattern.
inline const QString textFileFilter = QStringLiteral("ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT");

// The clipboard save found no text to save.
inline const QString clipboardHoldsNoText =
    QStringLiteral("現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。");

// Another program may hold the clipboard open. The command then changes nothing in the memo.
inline const QString clipboardReadFailed =
    QStringLiteral("クリップボードを読み取れませんでした。メモは変更していません。");
inline const QString clipboardWriteFailed =
    QStringLiteral("クリップボードに書き込めませんでした。メモは変更していません。");

} // namespace pennoro::edittexts
