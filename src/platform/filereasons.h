#pragma once

#include <QString>

class QFileDevice;

// Why a file could not be read or written, shown after "理由: " in the program's reports: the
// program's own reasons, and the system's reasons in Japanese whatever the locale.
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
// Something other than a folder stands where the program makes its own folder.
inline const QString notFolder = QStringLiteral("ﾌｫﾙﾀﾞではありません");
// The user's runtime folder is missing, or not for the user alone (XDG_RUNTIME_DIR).
inline const QString noRuntimeFolder =
    QStringLiteral("ﾕｰｻﾞｰ専用の実行時ﾌｫﾙﾀﾞ(XDG_RUNTIME_DIR)がありません");
// A failure that came without a reason must never read as success.
inline const QString unknown = QStringLiteral("不明なｴﾗｰ");

// Where glibc's Japanese messages are (Debian's libc-l10n).
inline const QString libcCatalogue = QStringLiteral("/usr/share/locale/ja/LC_MESSAGES/libc.mo");

// The reason for a failed system call's error number (errno), in Japanese in every locale: glibc's
// own Japanese message where its catalogue has one, else the program's words for the reasons a
// file's reading or writing meets, else the number.
QString ofSystemError(int error, const QString& catalogue = libcCatalogue);

// The reason a failed file device gives, in Japanese in every locale: Qt words a system error in
// the language of the process's locale, and that reason is given as ofSystemError gives it; Qt's
// own reasons (translated by Qt) stay as they are.
QString ofDevice(const QFileDevice& file);

} // namespace pennoro::filereasons
