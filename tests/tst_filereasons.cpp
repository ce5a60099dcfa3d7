// The reasons for failed reads and writes are Japanese in an English locale: each error number a
// text file's reading or writing meets, with glibc's catalogue and without, and real failures
// (a read-only folder is the faults test's).

#include "app/qtsetup.h"
#include "fakes/testfiles.h"
#include "platform/filereasons.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

bool isJapanese(const QString& reason)
{
    return !reason.isEmpty() && !reason.contains(QRegularExpression(u"[A-Za-z]"_s));
}

} // namespace

class TestFileReasons : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The locale is English (the system's messages are), and Qt's words Japanese, as the
        // program has them.
        QCOMPARE(QByteArray(strerror(EFBIG)), "File too large");
        QVERIFY(qtsetup::loadJapaneseTranslation(*QCoreApplication::instance()));
        QVERIFY2(QFile::exists(filereasons::libcCatalogue), "glibc's Japanese (libc-l10n)");
    }

    void errorNumbersAreJapanese_data()
    {
        QTest::addColumn<int>("error");
        for (const int error :
             {EACCES, EPERM, ENOSPC, EDQUOT, EFBIG, EROFS, ENOENT, ENOTDIR, EISDIR, ENAMETOOLONG,
              ELOOP, EMLINK, EIO, ENOMEM, ETXTBSY, EBUSY, EPIPE, ESTALE})
            QTest::newRow(strerrorname_np(error)) << error;
    }

    // With glibc's catalogue and, as where it is not installed, with the program's own words.
    void errorNumbersAreJapanese()
    {
        QFETCH(int, error);
        const QString system = filereasons::ofSystemError(error);
        const QString own = filereasons::ofSystemError(error, u"/nonexistent/libc.mo"_s);
        QVERIFY2(isJapanese(system), qPrintable(system));
        QVERIFY2(isJapanese(own), qPrintable(own));
        // glibc leaves these two in English.
        if (error != EPIPE && error != ESTALE)
            QVERIFY2(system != own, "glibc's words, where it has them");
    }

    void numberWithoutWords()
    {
        QCOMPARE(filereasons::ofSystemError(0), filereasons::unknown);
        QCOMPARE(filereasons::ofSystemError(EPROTO, u"/nonexistent/libc.mo"_s),
                 u"ｼｽﾃﾑのｴﾗｰ(番号 %1)"_s.arg(EPROTO));
    }

    // What the read or the write of a text file meets is the reason it gives.
    void realFailures()
    {
        QTemporaryDir folder;
        const QString longName = folder.filePath(QString(300, u'a'));
        const QString loop = folder.filePath(u"loop"_s);
        const QString plain = folder.filePath(u"plain.txt"_s);
        QVERIFY(QFile::link(loop, loop) && writeBytes(plain, "x"));
        const auto reason = [](const Failure& failure) { return failure.reason; };
        const auto of = [](int error) { return filereasons::ofSystemError(error); };
        QCOMPARE(reason(textfile::writeText(longName, u"x").failure()), of(ENAMETOOLONG));
        QCOMPARE(reason(textfile::readWhole(longName, 100).failure()), of(ENAMETOOLONG));
        QCOMPARE(reason(textfile::writeText(loop + u"/memo.txt"_s, u"x").failure()), of(ELOOP));
        QCOMPARE(reason(textfile::readWhole(loop, 100).failure()), of(ELOOP));
        QCOMPARE(reason(textfile::writeText(plain + u"/memo.txt"_s, u"x").failure()), of(ENOTDIR));
    }
};

int main(int argc, char** argv)
{
    // An English locale, as on a system not set to Japanese; before Qt takes it from the
    // environment.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QCoreApplication application(argc, argv);
    TestFileReasons test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filereasons.moc"
