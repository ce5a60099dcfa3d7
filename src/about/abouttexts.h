#pragma once

#include <QString>

// The About box's fixed texts, exactly as the user sees them.
namespace pennoro::abouttexts {

inline const QString captionSuffix = QStringLiteral(" ｳﾞｧｰｼﾞｮﾝ情報");
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

} // namespace pennoro::abouttexts
