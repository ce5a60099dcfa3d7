#pragma once

#include <QString>

// The program's own reasons why a file could not be read or written, shown after "理由: " in its
// reports. Reasons in the system's or Qt's words come from Qt, which translates them.
namespace pennoro::filereasons {

// A folder, a pipe, a device: the memo store must be a file, which also keeps start-up from
// waiting on a pipe that nobody writes to.
inline const QString notRegularFile =
    QStringLiteral("普通のﾌｧｲﾙではありません(ﾌｫﾙﾀﾞ、ﾊﾟｲﾌﾟ、ﾃﾞﾊﾞｲｽなど)");
// Larger than the program reads, or more than the memory it may have.
inline const QString tooLarge = QStringLiteral("ﾌｧｲﾙが大きすぎてﾒﾓﾘに読み込めません");
// A pipe (or socket) that no program reads from: writing would wait for ever.
inline const QString noReceiver = QStringLiteral("ﾊﾟｲﾌﾟを読み取るﾌﾟﾛｸﾞﾗﾑがありません");
// Something other than a folder stands where the program makes its own folder.
inline const QString notFolder = QStringLiteral("ﾌｫﾙﾀﾞではありません");
// The user's runtime folder is missing, or not for the user alone (XDG_RUNTIME_DIR).
inline const QString noRuntimeFolder =
    QStringLiteral("ﾕｰｻﾞｰ専用の実行時ﾌｫﾙﾀﾞ(XDG_RUNTIME_DIR)がありません");
// A failure that came without a reason must never read as success.
inline const QString unknown = QStringLiteral("不明なｴﾗｰ");

} // namespace pennoro::filereasons
