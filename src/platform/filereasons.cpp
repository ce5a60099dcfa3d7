#include "platform/filereasons.h"

#include <QByteArray>
#include <QFile>
#include <QFileDevice>
#include <QStringDecoder>
#include <QStringView>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace pennoro::filereasons {

namespace {

// The program's words for the reasons a text file's reading or writing meets, for where the
// system has none in Japanese.
const struct {
    int error;
    QStringView text;
} ownReasons[] = {
    {EACCES, u"ｱｸｾｽが許可されていません"},
    {EPERM, u"操作が許可されていません"},
    {ENOSPC, u"ﾃﾞｨｽｸに空きがありません"},
#ifdef EDQUOT
    {EDQUOT, u"ﾃﾞｨｽｸの使用量の上限(ｸｫｰﾀ)を超えました"},
#endif
    {EFBIG, u"ﾌｧｲﾙが大きすぎます"},
    {EROFS, u"読み取り専用のﾌｧｲﾙｼｽﾃﾑです"},
    {ENOENT, u"そのようなﾌｧｲﾙやﾌｫﾙﾀﾞはありません"},
    {ENOTDIR, u"ﾌｫﾙﾀﾞではありません"},
    {EISDIR, u"ﾌｫﾙﾀﾞです"},
    {ENAMETOOLONG, u"ﾌｧｲﾙ名が長すぎます"},
    {ELOOP, u"ｼﾝﾎﾞﾘｯｸﾘﾝｸの階層が多すぎます"},
    {EMLINK, u"ﾘﾝｸが多すぎます"},
    {EIO, u"入出力ｴﾗｰです"},
    {ENOMEM, u"ﾒﾓﾘが足りません"},
    {ETXTBSY, u"ﾌｧｲﾙが使用中です"},
    {EBUSY, u"ﾃﾞﾊﾞｲｽまたはﾘｿｰｽが使用中です"},
    {EMFILE, u"開いているﾌｧｲﾙが多すぎます"},
    {ENFILE, u"ｼｽﾃﾑ全体で開いているﾌｧｲﾙが多すぎます"},
    {EINVAL, u"無効な引数です"},
    {EAGAIN, u"一時的に使えません"},
    {EINTR, u"割り込まれました"},
    // glibc's catalogue leaves this one in English.
    {EPIPE, u"ﾊﾟｲﾌﾟを読み取るﾌﾟﾛｸﾞﾗﾑが終了しました"},
#ifdef ESTALE
    {ESTALE, u"ﾈｯﾄﾜｰｸ上のﾌｧｲﾙが見つからなくなりました"},
#endif
};

std::optional<QString> ownReason(int error)
{
    for (const auto& reason : ownReasons)
        if (reason.error == error)
            return reason.text.toString();
    return std::nullopt;
}

// A message catalogue in GNU's .mo format. Read here rather than through gettext, which gives
// glibc's Japanese only where the process's locale is Japanese (and such a locale is generated).
class Catalogue {
public:
    explicit Catalogue(const QString& path)
    {
        QFile file(path);
        // glibc's own is some 140 KB; anything far larger is not one.
        if (!file.open(QIODevice::ReadOnly) || file.size() > (qint64(1) << 24))
            return;
        data_ = file.readAll();
        const quint32 magic = word(0);
        swapped_ = magic == 0xde120495;
        if (!swapped_ && magic != 0x950412de) {
            data_.clear();
            return;
        }
        count_ = word(8);
        originals_ = word(12);
        translations_ = word(16);
        // Its texts must be UTF-8, as its header says (the translation of the empty text).
        if (!translate("").contains("charset=UTF-8"))
            data_.clear();
    }

    // The translation of `original`, empty when there is none.
    QByteArrayView translate(QByteArrayView original) const
    {
        for (quint32 index = 0; index < count_; ++index)
            if (text(originals_, index) == original)
                return text(translations_, index);
        return {};
    }

private:
    // The 32-bit word at `at` in the file's byte order; 0 outside the file.
    quint32 word(qint64 at) const
    {
        if (at < 0 || at + 4 > data_.size())
            return 0;
        const quint32 value = qFromLittleEndian<quint32>(data_.constData() + at);
        return swapped_ ? qbswap(value) : value;
    }

    // The text at `index` of the table at `table`: its length and its place; empty outside the
    // file.
    QByteArrayView text(quint32 table, quint32 index) const
    {
        const qint64 entry = qint64(table) + qint64(index) * 8;
        const qint64 length = word(entry);
        const qint64 at = word(entry + 4);
        if (entry + 8 > data_.size() || at + length > data_.size())
            return {};
        return QByteArrayView(data_).sliced(at, length);
    }

    QByteArray data_;
    bool swapped_ = false;
    quint32 count_ = 0;
    quint32 originals_ = 0;
    quint32 translations_ = 0;
};

// glibc's Japanese for the error, where its catalogue has it in Japanese: it leaves a few in
// English, and every Japanese text has a character beyond ASCII.
std::optional<QString> libcReason(int error, const QString& catalogue)
{
#ifdef __GLIBC__
    // The untranslated message: the catalogue's key.
    const char* english = strerrordesc_np(error);
    if (!english)
        return std::nullopt;
    const Catalogue japanese(catalogue);
    const QByteArrayView translated = japanese.translate(english);
    const bool beyondAscii = std::any_of(translated.begin(), translated.end(),
                                         [](char byte) { return uchar(byte) >= 0x80; });
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(translated);
    if (!beyondAscii || utf8.hasError())
        return std::nullopt;
    return text;
#else
    Q_UNUSED(error);
    Q_UNUSED(catalogue);
    return std::nullopt;
#endif
}

#ifdef Q_OS_WIN
// Windows' codes for the reasons a text file's reading or writing meets, as error numbers.
const struct {
    DWORD code;
    int error;
} windowsErrors[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_WRITE_PROTECT, EROFS},
    {ERROR_CRC, EIO},
    {ERROR_WRITE_FAULT, EIO},
    {ERROR_READ_FAULT, EIO},
    {ERROR_SHARING_VIOLATION, ETXTBSY},
    {ERROR_LOCK_VIOLATION, ETXTBSY},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_DISK_FULL, ENOSPC},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG},
    {ERROR_FILE_TOO_LARGE, EFBIG},
    {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_CANT_RESOLVE_FILENAME, ELOOP},
};
#endif

// The error number whose reason Qt words as `reason`, if any. Qt keeps no number with a file's
// failure, and errno may have changed since (a failed replacement removes its temporary file), but
// its words for each number are known.
std::optional<int> systemErrorWordedAs(const QString& reason)
{
#ifdef Q_OS_WIN
    // Others stay in Windows' own words, in the language of the user's Windows.
    for (const auto& [code, error] : windowsErrors)
        if (qt_error_string(int(code)) == reason)
            return error;
#else
    // Past every number a system defines.
    constexpr int beyondLast = 256;
    for (int error = 1; error < beyondLast; ++error)
        if (qt_error_string(error) == reason)
            return error;
#endif
    return std::nullopt;
}

} // namespace

QString ofSystemError(int error, const QString& catalogue)
{
    // No number: glibc's words for 0 are "Success".
    if (error == 0)
        return unknown;
    if (std::optional<QString> reason = libcReason(error, catalogue))
        return *reason;
    if (std::optional<QString> reason = ownReason(error))
        return *reason;
    return QStringLiteral("ｼｽﾃﾑのｴﾗｰ(番号 %1)").arg(error);
}

QString ofDevice(const QFileDevice& file)
{
    const QString reason = file.errorString();
    if (reason.isEmpty())
        return unknown;
    if (const std::optional<int> error = systemErrorWordedAs(reason))
        return ofSystemError(*error);
    return reason;
}

} // namespace pennoro::filereasons
