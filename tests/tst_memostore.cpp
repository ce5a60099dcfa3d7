#include "fakes/childprocess.h"
#include "fakes/testfiles.h"
#include "fakes/unprivileged.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "platform/filereasons.h"
#include "platform/textfile.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

QString loaded(const QString& path)
{
    const Result<QString> result = memostore::load(path);
    return result.ok() ? result.value() : u"failed: "_s + result.failure().reason;
}

#ifdef Q_OS_UNIX
// What a load gives in a child process limited to `addressSpace` bytes of address space (none:
// 0), as "nobody" where the store is protected: "loaded", the reason of its failure, or how the
// child ended.
QString loadInChild(const QString& path, rlim_t addressSpace, bool asNobody)
{
    return answerOfChild([&]() -> QByteArray {
        const rlimit limit{addressSpace, addressSpace};
        if (addressSpace != 0 && setrlimit(RLIMIT_AS, &limit) != 0)
            return "no limit";
        std::optional<AsUnprivilegedUser> nobody;
        if (asNobody && !nobody.emplace().bound())
            return "not as nobody";
        const Result<QString> loaded = memostore::load(path);
        return loaded.ok() ? "loaded" : loaded.failure().reason.toUtf8();
    });
}

enum class Store { Pipe, LinkToPipe, LinkToDevZero, Sized, Protected, InClosedFolder };
#endif

// A memo of `size` characters drawn from those whose writing differs: line ends of every kind,
// no-break spaces, characters written as references, halves of surrogate pairs on their own.
QString randomMemo(QRandomGenerator& random, qsizetype size)
{
    static const QStringList parts =
        QStringList{u"\r\n"_s, u"😀"_s, QString(QChar(0xD800)), QString(QChar(0xDC00)),
                    QString(QChar())} +
        u"aｱ日\r\n\u2028\u2029\u00A0¥\u301C"_s.split(QString(), Qt::SkipEmptyParts);
    QString memo;
    while (memo.size() < size)
        memo += parts[random.bounded(qsizetype(parts.size()))];
    return memo;
}

} // namespace

class TestMemoStore : public QObject {
    Q_OBJECT

private slots:
    // Every line end becomes CR LF, and the one at the very end, which save-and-exit writes after
    // the memo, is dropped. The store is code page 932; one another editor wrote in UTF-8 is read
    // as UTF-8, but a code page 932 store is never taken for UTF-8, not even when its bytes happen
    // to be valid UTF-8.
    void load_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("memo");
        // clang-format off
        QTest::newRow("empty") << QByteArray() << u""_s;
        QTest::newRow("one line end") << QByteArray("\r\n") << u""_s;
        QTest::newRow("CR LF, empty last line") << QByteArray("a\r\n\r\n") << u"a\r\n"_s;
        QTest::newRow("CR LF, no final line end") << QByteArray("a\r\nb") << u"a\r\nb"_s;
        QTest::newRow("mixed") << QByteArray("a\nb\r\nc\rd") << u"a\r\nb\r\nc\r\nd"_s;
        QTest::newRow("LF CR is two line ends, CR last") << QByteArray("a\n\rb\r") << u"a\r\n\r\nb"_s;
        QTest::newRow("NUL inside a line") << QByteArray("a\0b", 3) << u"a"_s + QChar(0) + u"b"_s;
        // "ﾃｷ" and "ﾞｰ" happen to be valid UTF-8.
        QTest::newRow("half-width katakana, valid UTF-8 too") << QByteArray("\xC3\xB7\r\n\xDE\xB0\r\n") << u"ﾃｷ\r\nﾞｰ"_s;
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF<B>日本語</B>\n") << u"<B>日本語</B>"_s;
        QTest::newRow("UTF-8 mark alone") << QByteArray("\xEF\xBB\xBF") << u""_s;
        QTest::newRow("UTF-8 without mark") << QByteArray("<P>テキスト、日本語😀</P>\n") << u"<P>テキスト、日本語😀</P>"_s;
        QTest::newRow("neither: read as code page 932") << QByteArray("\x93\xFA\x80\xFF\r\n") << u"日\uFFFD\uFFFD"_s;
        // clang-format on
    }

    void load()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, memo);
        const QString path = dir_.filePath(u"Data.pnr"_s);
        QVERIFY(writeBytes(path, bytes));
        QCOMPARE(loaded(path), memo);
    }

#ifdef Q_OS_UNIX
    // A store that is no regular file is refused at once, never waited on; one larger than the
    // program reads or than the memory it may have is refused too, not read until the program
    // aborts; one that may not be read is a failure, never an empty memo that a later save would
    // write over the store with. (Only a store that does not exist is the empty memo: the start-up
    // test's.) Sizes are sparse files; each load runs in a child under its own address space limit.
    void loadRefusesHostileStores_data()
    {
        QTest::addColumn<Store>("store");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("addressSpace"); // 0: no limit; below 0: that much above the use
        QTest::addColumn<QString>("reason");
        const qint64 mib = 1 << 20;
        const qint64 largest = memostore::largestStore;
        const QString notRegular = filereasons::notRegularFile, tooLarge = filereasons::tooLarge;
        // clang-format off
        QTest::newRow("named pipe") << Store::Pipe << 0ll << 0ll << notRegular;
        QTest::newRow("link to a named pipe") << Store::LinkToPipe << 0ll << 0ll << notRegular;
        QTest::newRow("link to /dev/zero") << Store::LinkToDevZero << 0ll << 0ll << notRegular;
        QTest::newRow("a byte over the largest store") << Store::Sized << largest + 1 << 0ll << tooLarge;
        // Room for the bytes, none for the text they make.
        QTest::newRow("largest store, memory for its bytes only") << Store::Sized << largest << -(largest + 64 * mib) << tooLarge;
        QTest::newRow("protected file") << Store::Protected << 5ll << 0ll << filereasons::ofSystemError(EACCES);
        QTest::newRow("in a folder that may not be searched") << Store::InClosedFolder << 5ll << 0ll << filereasons::ofSystemError(EACCES);
        // clang-format on
    }

    void loadRefusesHostileStores()
    {
        QFETCH(Store, store);
        QFETCH(qint64, size);
        QFETCH(qint64, addressSpace);
        QFETCH(QString, reason);
#ifdef PENNORO_SANITIZED
        if (addressSpace != 0)
            QSKIP("AddressSanitizer's reserved address space leaves no room for a limit");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Data.pnr"_s);
        const QString pipe = dir.filePath(u"pipe"_s);
        if (store == Store::Pipe || store == Store::LinkToPipe)
            QVERIFY(mkfifo(QFile::encodeName(store == Store::Pipe ? path : pipe), 0666) == 0);
        if (store == Store::LinkToPipe || store == Store::LinkToDevZero)
            QVERIFY(QFile::link(store == Store::LinkToPipe ? pipe : u"/dev/zero"_s, path));
        QFile file(path);
        QVERIFY(store != Store::Sized || (file.open(QIODevice::WriteOnly) && file.resize(size)));
        // The temporary folder is its owner's alone: "nobody" may not search it, and reaches into
        // it only where it is opened to read a protected file.
        const bool protectedStore = store == Store::Protected || store == Store::InClosedFolder;
        QVERIFY(!protectedStore || writeBytes(path, "abc\r\n"));
        if (store == Store::Protected)
            QVERIFY(chmod(QFile::encodeName(path), 0200) == 0 &&
                    chmod(QFile::encodeName(dir.path()), 0755) == 0);
        const rlim_t limit =
            addressSpace >= 0 ? rlim_t(addressSpace) : addressSpaceInUse() + rlim_t(-addressSpace);
        QCOMPARE(loadInChild(path, limit, protectedStore), reason);
        QCOMPARE(QFileInfo(path).size(), size); // left as it was
    }
#endif

    // Save replaces an older, longer store with the memo and one line end; a start gives the
    // same memo back, so saving and starting again changes nothing.
    void saveThenLoad_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("again"); // the memo of the next start
        const qsizetype piece = 1 << 20;
        const QString run(piece - 1, u'a');
        // clang-format off
        QTest::newRow("empty memo") << u""_s << QByteArray("\r\n") << u""_s;
        QTest::newRow("one line") << u"abc"_s << QByteArray("abc\r\n") << u"abc"_s;
        QTest::newRow("empty last line kept") << u"a\r\n"_s << QByteArray("a\r\n\r\n") << u"a\r\n"_s;
        QTest::newRow("unencodable as references") << u"😀¥"_s << QByteArray("&#128512;&#165;\r\n") << u"&#128512;&#165;"_s;
        // Long texts are written a piece at a time: a character pair across a piece's edge.
        QTest::newRow("pair across a piece") << run + u"😀b"_s << run.toLatin1() + "&#128512;b\r\n" << run + u"&#128512;b"_s;
        // clang-format on
    }

    // Save-and-exit writes the memo a few paragraphs at a time, straight from the document: the
    // same bytes as its whole text written at one go, whatever the size of the pieces.
    void savePiecewise_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::newRow("empty") << u""_s;
        QTest::newRow("empty lines") << u"\r\n\r\n"_s;
        QTest::newRow("lone CR and LF") << u"\ra\rb\n\r"_s;
        QTest::newRow("line separators in paragraphs") << u"\u2028a\u2028\u2028b\r\n\u2028"_s;
        QTest::newRow("no-break spaces") << u"\u00A0a \u00A0\r\n\u00A0"_s;
        // clang-format off
        QTest::newRow("references and pairs") << (u"😀😀a😀\r\n¥"_s + QChar(0xD800) + u'b' + QChar(0xDC00) + u"\u301C😀"_s).repeated(3);
        // clang-format on
        QTest::newRow("long paragraph") << QString(70000, u'a') + u"😀\u2028😀"_s;
        QRandomGenerator random(21);
        for (int i = 0; i < 40; ++i)
            QTest::addRow("random %d", i) << randomMemo(random, random.bounded(300));
        // The fuzzers' inputs, read as UTF-8 and as UTF-16.
        const QDir corpus(QString::fromUtf8(PENNORO_FUZZ_CORPUS));
        for (QDirIterator it(corpus.path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString name = corpus.relativeFilePath(it.next());
            const QByteArray bytes = fileBytes(it.filePath());
            QTest::addRow("%s, UTF-8", qPrintable(name)) << QString::fromUtf8(bytes);
            QTest::addRow("%s, UTF-16", qPrintable(name))
                << QString(reinterpret_cast<const QChar*>(bytes.data()), bytes.size() / 2);
        }
    }

    void savePiecewise()
    {
        QFETCH(QString, memo);
        MemoEdit edit;
        edit.loadText(memo);
        const QString path = dir_.filePath(u"Data.pnr"_s);
        QVERIFY(textfile::writeText(path, edit.wholeText()).ok());
        const QByteArray whole = fileBytes(path);
        for (const qsizetype pieceSize : {1, 2, 3, 7, 1 << 16}) {
            QVERIFY(QFile::remove(path));
            const Outcome saved = memostore::save(edit.wholeTextInPieces(pieceSize), path);
            QVERIFY2(saved.ok(), qPrintable(saved.failure().reason));
            QVERIFY2(fileBytes(path) == whole, qPrintable(u"pieces of %1"_s.arg(pieceSize)));
        }
    }

    void saveThenLoad()
    {
        QFETCH(QString, memo);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, again);
        const QString path = dir_.filePath(u"Data.pnr"_s);
        QVERIFY(writeBytes(path, "an older and longer memo store\r\n"));
        const Outcome saved = memostore::save(memo, path);
        QVERIFY2(saved.ok(), qPrintable(saved.failure().reason));
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(loaded(path), again);
        // And round again: the bytes stay as they are.
        QVERIFY(memostore::save(loaded(path), path).ok());
        QCOMPARE(fileBytes(path), bytes);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestMemoStore)
#include "tst_memostore.moc"
