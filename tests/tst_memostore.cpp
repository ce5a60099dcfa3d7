#include "app/memostore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace pennoro;
using namespace Qt::StringLiterals;
using Status = ReadResult::Status;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool runningAsRoot()
{
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

// A failed save names the file and says why.
void verifyFailedSave(const FileResult& result, const QString& path)
{
    QVERIFY(!result.ok());
    QCOMPARE(result.path, QDir::toNativeSeparators(path));
    QVERIFY(!result.reason.isEmpty());
}

} // namespace

class TestMemoStore : public QObject {
    Q_OBJECT

private slots:
    void init();

    void lineEnds_data();
    void lineEnds();

    void loadMissing();
    void loadFolder();
    void loadUnreadable();
    void loadLarge();
    void loadCodePage_data();
    void loadCodePage();

    void saveBytes_data();
    void saveBytes();
    void saveIntoFolderPath();
    void saveUnderAFile();
    void saveIntoReadOnlyFolder();
    void saveBeyondFileSizeLimit();
    void saveThenLoad_data();
    void saveThenLoad();

private:
    QString pathOf(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestMemoStore::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestMemoStore::lineEnds_data()
{
    QTest::addColumn<QString>("fileText");
    QTest::addColumn<QString>("memo");
    QTest::newRow("empty") << u""_s << u""_s;
    QTest::newRow("CR LF") << u"abc\r\n"_s << u"abc\r\n"_s;
    QTest::newRow("no final line end") << u"a\r\nb"_s << u"a\r\nb\r\n"_s;
    QTest::newRow("LF alone") << u"abc\n"_s << u"abc\r\n"_s;
    QTest::newRow("CR alone") << u"a\rb\r"_s << u"a\r\nb\r\n"_s;
    QTest::newRow("mixed") << u"a\nb\r\nc\rd"_s << u"a\r\nb\r\nc\r\nd\r\n"_s;
    QTest::newRow("LF CR is two line ends") << u"a\n\rb"_s << u"a\r\n\r\nb\r\n"_s;
    QTest::newRow("only line ends") << u"\r\n\n\r"_s << u"\r\n\r\n\r\n"_s;
    QTest::newRow("empty last line kept") << u"a\r\n\r\n"_s << u"a\r\n\r\n"_s;
    QTest::newRow("NUL inside a line")
        << u"a"_s + QChar(0) + u"b"_s << u"a"_s + QChar(0) + u"b\r\n"_s;
}

void TestMemoStore::lineEnds()
{
    QFETCH(QString, fileText);
    QFETCH(QString, memo);
    QCOMPARE(memostore::memoFromFileText(fileText), memo);
}

void TestMemoStore::loadMissing()
{
    const QString path = pathOf(u"Data.pnr"_s);
    const memostore::LoadResult result = memostore::load(path);
    QCOMPARE(result.status, Status::Missing);
    QVERIFY(result.memo.isEmpty());
    QCOMPARE(result.error.path, QDir::toNativeSeparators(path));
    QVERIFY(!result.error.reason.isEmpty());
}

void TestMemoStore::loadFolder()
{
    const QString path = pathOf(u"Data.pnr"_s);
    QVERIFY(QDir().mkdir(path));
    const memostore::LoadResult result = memostore::load(path);
    QCOMPARE(result.status, Status::Failed);
    QCOMPARE(result.error.path, QDir::toNativeSeparators(path));
    QVERIFY(!result.error.reason.isEmpty());
}

// A store that exists but cannot be read is a failure, never an empty memo that a later save
// would write over it: a protected file, and a file in a folder that may not be searched.
void TestMemoStore::loadUnreadable()
{
    if (runningAsRoot())
        QSKIP("permissions do not bind the superuser");
    const QString path = pathOf(u"Data.pnr"_s);
    writeBytes(path, "abc\r\n");
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    QCOMPARE(memostore::load(path).status, Status::Failed);

    const QString inner = pathOf(u"closed"_s);
    QVERIFY(QDir().mkdir(inner));
    writeBytes(inner + u"/Data.pnr"_s, "abc\r\n");
    QVERIFY(QFile::setPermissions(inner, QFileDevice::WriteOwner));
    const memostore::LoadResult result = memostore::load(inner + u"/Data.pnr"_s);
    QFile::setPermissions(inner, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ExeOwner);
    QCOMPARE(result.status, Status::Failed);
    QVERIFY(!result.error.reason.isEmpty());
}

void TestMemoStore::loadLarge()
{
    const QByteArray line = "<P>\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\xC3\xB7\xBD\xC4</P>\n";
    const qsizetype lines = 50 * 1024 * 1024 / line.size();
    const QString path = pathOf(u"Data.pnr"_s);
    writeBytes(path, line.repeated(lines));
    const memostore::LoadResult result = memostore::load(path);
    QCOMPARE(result.status, Status::Read);
    const QString memoLine = u"<P>日本語のﾃｷｽﾄ</P>\r\n"_s;
    QCOMPARE(result.memo.size(), memoLine.size() * lines);
    QVERIFY(result.memo.startsWith(memoLine));
    QVERIFY(result.memo.endsWith(memoLine));
}

// The store is code page 932; a store another editor wrote in UTF-8 is read as UTF-8, but a code
// page 932 store is never taken for UTF-8, not even when its bytes happen to be valid UTF-8.
void TestMemoStore::loadCodePage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("memo");
    QTest::newRow("empty file") << QByteArray() << u""_s;
    QTest::newRow("code page 932 Japanese")
        << QByteArray("\x93\xFA\x96\x7B\x8C\xEA\r\n") << u"日本語\r\n"_s;
    // "ﾃｷｽﾄﾌｧｲﾙ" starts with C3 B7, which alone is UTF-8 for "÷".
    QTest::newRow("half-width katakana, not UTF-8")
        << QByteArray("\xC3\xB7\xBD\xC4\xCC\xA7\xB2\xD9\r\n") << u"ﾃｷｽﾄﾌｧｲﾙ\r\n"_s;
    QTest::newRow("half-width katakana, valid UTF-8 too")
        << QByteArray("\xC3\xB7\r\n\xDE\xB0\r\n") << u"ﾃｷ\r\nﾞｰ\r\n"_s;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF<B>日本語</B>\n")
                                     << u"<B>日本語</B>\r\n"_s;
    QTest::newRow("UTF-8 mark alone") << QByteArray("\xEF\xBB\xBF") << u""_s;
    QTest::newRow("UTF-8 without mark")
        << QByteArray("<P>テキストファイル、日本語😀</P>\n") << u"<P>テキストファイル、日本語😀</P>\r\n"_s;
    QTest::newRow("neither: read as code page 932")
        << QByteArray("\x93\xFA\x80\xFF\r\n") << u"日\uFFFD\uFFFD\r\n"_s;
}

void TestMemoStore::loadCodePage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, memo);
    const QString path = pathOf(u"Data.pnr"_s);
    writeBytes(path, bytes);
    const memostore::LoadResult result = memostore::load(path);
    QCOMPARE(result.status, Status::Read);
    QVERIFY(result.error.ok());
    QCOMPARE(result.memo, memo);
}

void TestMemoStore::saveBytes_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("abc") << u"abc"_s << QByteArray("abc\r\n");
    QTest::newRow("empty memo") << u""_s << QByteArray("\r\n");
    QTest::newRow("final line end") << u"a\r\n"_s << QByteArray("a\r\n\r\n");
    QTest::newRow("Japanese") << u"<B>日本語ﾃｷｽﾄ</B>"_s
                              << QByteArray("<B>\x93\xFA\x96\x7B\x8C\xEA\xC3\xB7\xBD\xC4</B>\r\n");
    QTest::newRow("emoji and yen") << u"😀¥"_s << QByteArray("&#128512;&#165;\r\n");
}

void TestMemoStore::saveBytes()
{
    QFETCH(QString, memo);
    QFETCH(QByteArray, bytes);
    const QString path = pathOf(u"Data.pnr"_s);
    writeBytes(path, "an older and longer memo store\r\n");
    const FileResult result = memostore::save(memo, path);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(result.path, QDir::toNativeSeparators(path));
    QCOMPARE(contentOf(path), bytes);
}

void TestMemoStore::saveIntoFolderPath()
{
    const QString path = pathOf(u"Data.pnr"_s);
    QVERIFY(QDir().mkdir(path));
    verifyFailedSave(memostore::save(u"abc"_s, path), path);
    QVERIFY(QFileInfo(path).isDir());
}

void TestMemoStore::saveUnderAFile()
{
    const QString file = pathOf(u"plain"_s);
    writeBytes(file, "old\r\n");
    const QString path = file + u"/Data.pnr"_s;
    verifyFailedSave(memostore::save(u"abc"_s, path), path);
    QCOMPARE(contentOf(file), QByteArray("old\r\n"));
}

void TestMemoStore::saveIntoReadOnlyFolder()
{
    if (runningAsRoot())
        QSKIP("permissions do not bind the superuser");
    const QString path = pathOf(u"Data.pnr"_s);
    writeBytes(path, "old\r\n");
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(dir_->path(), readOnly));
    const FileResult result = memostore::save(u"new"_s, path);
    QFile::setPermissions(dir_->path(), readOnly | QFileDevice::WriteOwner);
    verifyFailedSave(result, path);
    QCOMPARE(contentOf(path), QByteArray("old\r\n"));
}

// A write that fails part of the way (here the process's file size limit, as with a full disk)
// leaves the earlier store whole and no temporary file behind; this holds for the superuser too.
void TestMemoStore::saveBeyondFileSizeLimit()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit");
#else
    const QString path = pathOf(u"Data.pnr"_s);
    writeBytes(path, "old\r\n");
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = memostore::save(QString(100'000, u'あ'), path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    verifyFailedSave(result, path);
    QCOMPARE(contentOf(path), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"Data.pnr"_s});
#endif
}

// What save writes, load gives back, plus the one line end that save adds.
void TestMemoStore::saveThenLoad_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("empty memo") << u""_s << u"\r\n"_s;
    QTest::newRow("one line") << u"abc"_s << u"abc\r\n"_s;
    QTest::newRow("final line end grows") << u"a\r\n"_s << u"a\r\n\r\n"_s;
    QTest::newRow("Japanese HTML")
        << u"<FONT COLOR=\"red\">①髙～Ａ\\ｱｲｳ</FONT>\r\n<HR>"_s
        << u"<FONT COLOR=\"red\">①髙～Ａ\\ｱｲｳ</FONT>\r\n<HR>\r\n"_s;
    QTest::newRow("unencodable as references") << u"😀¥"_s << u"&#128512;&#165;\r\n"_s;
}

void TestMemoStore::saveThenLoad()
{
    QFETCH(QString, memo);
    QFETCH(QString, loaded);
    const QString path = pathOf(u"Data.pnr"_s);
    QVERIFY(memostore::save(memo, path).ok());
    const memostore::LoadResult result = memostore::load(path);
    QCOMPARE(result.status, Status::Read);
    QCOMPARE(result.memo, loaded);
}

QTEST_APPLESS_MAIN(TestMemoStore)
#include "tst_memostore.moc"
