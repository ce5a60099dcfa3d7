#pragma once

#include "common/version.h"

#include <QString>

// Every fixed text the program shows, exactly as the user sees it, but for the menu captions,
// which stand in the menus' own tables beside their commands (the main window's menus and the tag
// catalogue). The program writes katakana half-width, as its captions do.
namespace pennoro::texts {

inline const QString applicationTitle = QStringLiteral("Pennoro");
// "Pennoro Ver 2.0 - ": the caption without the file name or "Normal".
inline const QString captionPrefix =
    QStringLiteral("Pennoro Ver %1.%2 - ").arg(version::major).arg(version::minor);
inline const QString normalCaption = captionPrefix + QStringLiteral("Normal");

// The main window's labels, each named after its menu item's key.
inline const QString saveAndExitLabel = QStringLiteral("保存終了[F2]");
inline const QString clearAllLabel = QStringLiteral("全てクリア[F3]");
inline const QString copyAllLabel = QStringLiteral("全てコピー[F5]");
// Over the labels while a large memo store loads: how much of it is in the memo, in percent.
inline const QString loadingProgress = QStringLiteral("読込中... %1%");

// Export of an empty memo.
inline const QString emptyMemoWarning = QStringLiteral("ﾌｧｲﾙに保存するﾃﾞｰﾀが見つかりません。");
inline const QString emptyMemoTitle = QStringLiteral("保存");
// Shown before the save dialog: an existing file is replaced without a question.
inline const QString outputNotice =
    QStringLiteral("ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!");
// The save dialog's one filter: the description shown, then the pattern.
inline const QString textFileFilter = QStringLiteral("ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT");
// The clipboard save found no text to save.
inline const QString clipboardHoldsNoText =
    QStringLiteral("現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。");

// Failures the program reports: another program may hold the clipboard, a file may not be
// written or read. The command that failed has changed nothing it could not finish.
inline const QString clipboardReadFailed =
    QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞを読み取れませんでした。ﾒﾓは変更していません。");
inline const QString clipboardWriteFailed =
    QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞに書き込めませんでした。ﾒﾓは変更していません。");
inline const QString fileWriteFailed =
    QStringLiteral("ﾌｧｲﾙに書き込めませんでした。ﾒﾓはそのまま残っています。");
inline const QString fileReadFailed =
    QStringLiteral("ﾌｧｲﾙを読み込めませんでした。Pennoro を終了します。");
// The browser preview could not be shown; the reason says why.
inline const QString previewFailed =
    QStringLiteral("ﾌﾞﾗｳｻﾞで表示出来ませんでした。ﾒﾓは変更していません。");
inline const QString noBrowser = QStringLiteral("ﾍﾟｰｼﾞを開くﾌﾞﾗｳｻﾞが見つかりません");
inline const QString failureReason = QStringLiteral("理由: ");

// The About box.
inline const QString aboutCaptionSuffix = QStringLiteral(" ｳﾞｧｰｼﾞｮﾝ情報");
inline const QString versionPrefix = QStringLiteral("ﾌﾟﾛｸﾞﾗﾑｳﾞｧｰｼﾞｮﾝ: ");
inline const QString credits = QStringLiteral("Copyright (C) Pennoro 開発者一同\n"
                                              "\n"
                                              "作者の許可なく転載することを禁止します。");
inline const QString homePagePrefix = QStringLiteral("HomePage: ");
inline const QString homePage = QStringLiteral("https://www.example.org/pennoro/");
inline const QString mailPrefix = QStringLiteral("E-Mail Address: ");
inline const QString mailAddress = QStringLiteral("pennoro@example.com");
inline const QString mailScheme = QStringLiteral("mailto:");
inline const QString okCaption = QStringLiteral("OK(&O)");
inline const QString sysInfoCaption = QStringLiteral("ｼｽﾃﾑ情報(&S)");
inline const QString sysInfoFailure = QStringLiteral("ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした");

} // namespace pennoro::texts
