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
// The memory the program may have ran out while it wrote a file; nothing was lost, and a later
// attempt may succeed.
inline const QString outOfMemory = QStringLiteral("ﾒﾓﾘが足りません");
// A pipe (or socket) that no program reads from: writing would wait for ever.
inline const QString noReceiver = QStringLiteral("ﾊﾟｲﾌﾟを読み取るﾌﾟﾛｸﾞﾗﾑがありません");
// A failure that came without a reason must never read as success.
inline const QString unknown = QStringLiteral("不明なｴﾗｰ");

} // namespace pennoro::filereasons
