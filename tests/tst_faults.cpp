// Real file system faults under the three commands that write files. Permissions bind as the user
// "nobody" even under root; a full disk is a file size limit, whose signal the program's own
// start-up call ignores.

#include "fakes/childprocess.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "fakes/unprivileged.h"
#include "memo/memostore.h"
#include "platform/cp932codec.h"
#include "platform/filereasons.h"
#include "platform/textfile.h"
#include "platform/writesignals.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

enum class Fault {
    FolderAtPath,
    ReadOnlyFile,
    DiskFull,
    DiskFullAtLastWrite,
    ReadOnlyFolder,
    ReadOnlyFolderNoFile,
    Device,
    PipeWithReader,
    PipeWithoutReader
};

// The menu item, or none for save-and-exit (F2).
const struct {
    const char* name;
    QString fileName;
    const char* action;
} commands[] = {
    {"save-and-exit", memostore::fileName, nullptr},
    {"export", u"memo.TXT"_s, "mnuFC"},
    {"clipboard save", u"clipboard.TXT"_s, "mnuFCS"},
};

// What the command meets at its path, and the reason it gives in Qt's or the program's words or as
// the system's error number, or none where it does its work: a folder that takes no new file has a
// writable file there written in place; a device or a pipe is written into and stays what it was.
// A full disk at the last write: a memo that fits Qt's buffer.
const struct {
    Fault fault;
    const char* name;
    QString reason;
    int error;
    int lines;
} faults[] = {
    {Fault::FolderAtPath, "path is a folder", u"directory"_s, 0, 3},
    {Fault::ReadOnlyFile, "read-only file", u"not writable"_s, 0, 3},
    {Fault::DiskFull, "disk full", {}, EFBIG, 2000},
    {Fault::DiskFullAtLastWrite, "disk full at the last write", {}, EFBIG, 300},
    {Fault::ReadOnlyFolder, "read-only folder, writable file", {}, 0, 3},
    {Fault::ReadOnlyFolderNoFile, "read-only folder, no file", {}, EACCES, 3},
    {Fault::Device, "device", {}, 0, 3},
    {Fault::PipeWithReader, "pipe with a reader", {}, 0, 3},
    {Fault::PipeWithoutReader, "pipe without a reader", filereasons::noReceiver, 0, 3},
};

// Writes beyond the limit fail with EFBIG, once SIGXFSZ, which would end the process, is ignored.
struct FileSizeLimit {
    rlimit saved{};
    bool active = getrlimit(RLIMIT_FSIZE, &saved) == 0 && limit(4096);
    bool limit(rlim_t bytes)
    {
        rlimit lower = saved;
        lower.rlim_cur = bytes;
        return setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

bool setMode(const QString& path, mode_t mode)
{
    return chmod(qPrintable(path), mode) == 0;
}

// Whether the process has a file in the folder open.
bool hasFileOpenIn(pid_t process, const QString& folder)
{
    const QString fds = u"/proc/%1/fd"_s.arg(process);
    const QStringList entries = QDir(fds).entryList(QDir::Files | QDir::System);
    return std::any_of(entries.begin(), entries.end(), [&](const QString& fd) {
        return QFile::symLinkTarget(fds + u'/' + fd).startsWith(folder);
    });
}

// What stands under the name itself, a link not followed: the same after a write in place.
std::pair<ino_t, mode_t> identity(const QString& path)
{
    struct stat status {};
    if (lstat(qPrintable(path), &status) != 0)
        return {0, 0};
    return {status.st_ino, status.st_mode & S_IFMT};
}

bool isPipe(Fault fault)
{
    return fault == Fault::PipeWithReader || fault == Fault::PipeWithoutReader;
}

// The file whose bytes the command must leave as they are, if any: the earlier file, or one in a
// folder in the command's way.
QString earlierFile(Fault fault, const QString& path)
{
    if (fault == Fault::FolderAtPath)
        return path + u"/inside.txt"_s;
    const bool special = fault == Fault::Device || isPipe(fault);
    return special || fault == Fault::ReadOnlyFolderNoFile ? QString() : path;
}

// Puts what the command is to meet at the path.
bool place(Fault fault, const QString& path)
{
    if (fault == Fault::Device && geteuid() == 0) // a /dev/null of the test's own
        return mknod(qPrintable(path), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (fault == Fault::Device)
        return QFile::link(u"/dev/null"_s, path);
    if (isPipe(fault))
        return mkfifo(qPrintable(path), 0666) == 0;
    const QString earlier = earlierFile(fault, path);
    return earlier.isEmpty() || (QDir().mkpath(QFileInfo(earlier).path()) &&
                                 writeBytes(earlier, "earlier\r\n") && setMode(earlier, 0666));
}

// A folder that "nobody" may pass through, as through /tmp itself, and then write or not.
bool protect(Fault fault, const QString& root, const QString& folder, const QString& path)
{
    if (fault == Fault::ReadOnlyFile)
        return setMode(root, 0701) && setMode(folder, 0777) && setMode(path, 0444);
    return setMode(root, 0701) && setMode(folder, 0555);
}

void run(TestWindow& t, const char* action, const QString& path)
{
    t.prompts.answers = QStringList{path};
    if (action)
        t.action(QLatin1String(action))->trigger();
    else
        QTest::keyClick(&t.memo(), Qt::Key_F2);
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    // As the program does first thing; the signal would end the test at the first full disk.
    void initTestCase() { writesignals::ignore(); }

    void commandsMeetFaults_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("fault");
        for (int c = 0; c < int(std::size(commands)); ++c)
            for (int f = 0; f < int(std::size(faults)); ++f)
                QTest::addRow("%s, %s", commands[c].name, faults[f].name) << c << f;
    }

    void commandsMeetFaults()
    {
        QFETCH(int, command);
        QFETCH(int, fault);
        const char* const action = commands[command].action;
        const bool saveAndExit = !action;
        const auto& f = faults[fault];
        InTempDir root;
        const QString folder = root.path(u"target"_s);
        const QString path = QDir(folder).filePath(commands[command].fileName);
        const QString earlier = earlierFile(f.fault, path);
        QVERIFY(QDir().mkpath(folder) && place(f.fault, path));
        if (saveAndExit)
            QVERIFY(QDir::setCurrent(folder)); // where the memo store lies
        const int reader = f.fault == Fault::PipeWithReader
                               ? open(qPrintable(path), O_RDONLY | O_NONBLOCK | O_CLOEXEC)
                               : -1;
        QVERIFY(f.fault != Fault::PipeWithReader || reader >= 0);
        const auto before = identity(path);

        // An earlier export in the caption, part of the memo selected.
        TestWindow t;
        QVERIFY(t.ready());
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        const QString memo = u"<P>日本語のﾃｷｽﾄ😀</P>\r\n"_s.repeated(f.lines);
        const QByteArray bytes = cp932::encode(memo).value().bytes + "\r\n";
        t.setMemo(memo);
        run(t, "mnuFC", root.path(u"earlier.TXT"_s));
        t.prompts.messages.clear();
        t.clipboard.content = memo;
        t.select(4, 6);
        const QString caption = t.window.windowTitle();

        const bool asNobody = f.fault == Fault::ReadOnlyFile || f.fault == Fault::ReadOnlyFolder ||
                              f.fault == Fault::ReadOnlyFolderNoFile;
        const bool diskFull = f.fault == Fault::DiskFull || f.fault == Fault::DiskFullAtLastWrite;
        if (asNobody)
            QVERIFY(protect(f.fault, root.path(QString()), folder, path));
        {
            std::optional<AsUnprivilegedUser> nobody;
            std::optional<FileSizeLimit> limit;
            if (asNobody)
                QVERIFY(nobody.emplace().bound());
            else if (diskFull)
                QVERIFY(limit.emplace().active);
            run(t, action, path);
        }
        QVERIFY(setMode(folder, 0777));

        // Nothing replaced, nothing else left in the folder, the memo as it was.
        const int notices = saveAndExit ? 0 : 1; // the notice of the export and clipboard save
        QCOMPARE(identity(path), before);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                        QDir::System),
                 f.fault == Fault::ReadOnlyFolderNoFile ? QStringList()
                                                        : QStringList{commands[command].fileName});
        QCOMPARE(t.memo().wholeText(), memo);
        const QString reason = f.error ? filereasons::ofSystemError(f.error) : f.reason;
        if (reason.isEmpty()) {
            QCOMPARE(t.prompts.messages.size(), notices);
            if (reader >= 0) {
                QByteArray got(4096, '\0');
                got.resize(std::max<ssize_t>(read(reader, got.data(), got.size()), 0));
                close(reader);
                QCOMPARE(got, bytes);
            } else if (f.fault != Fault::Device) {
                QCOMPARE(fileBytes(path), bytes);
            }
            QCOMPARE(exits.count(), saveAndExit ? 1 : 0);
            return;
        }

        // One message names file and reason; nothing lost, nothing changed, the program still open.
        QCOMPARE(t.prompts.messages.size(), notices + 1);
        const QString report = t.prompts.shown().last();
        QVERIFY2(report.startsWith(u"Pennoro, critical: "_s), qPrintable(report));
        QVERIFY2(report.contains(QDir::toNativeSeparators(path)), qPrintable(report));
        QVERIFY2(report.contains(reason, Qt::CaseInsensitive), qPrintable(report));
        if (!earlier.isEmpty())
            QCOMPARE(fileBytes(earlier), "earlier\r\n");
        QCOMPARE(t.memo().selectedText(), memo.mid(4, 6));
        QCOMPARE(t.window.windowTitle(), caption);
        QCOMPARE(exits.count(), 0);
        QVERIFY(t.window.isVisible() && t.window.isEnabled() && t.memo().hasFocus());
        if (isPipe(f.fault))
            return;

        // Once the fault is gone, the same command does its work.
        if (f.fault == Fault::FolderAtPath)
            QVERIFY(QDir(path).removeRecursively());
        setMode(path, 0666);
        t.prompts.messages.clear();
        run(t, action, path);
        QCOMPARE(t.prompts.messages.size(), notices);
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(exits.count(), saveAndExit ? 1 : 0);
    }

    // A process killed while it saves the memo store leaves the earlier store or the new one.
    void memoStoreKilledWhileWriting()
    {
        InTempDir dir;
        const QString folder = dir.path(QString());
        const QString path = dir.path(memostore::fileName);
        const QString first = u"<P>日本語のﾃｷｽﾄ 1</P>\r\n"_s.repeated(20 * 1024 * 1024 / 23);
        const QString second = u"<B>ﾃｷｽﾄ 2</B>\r\n"_s.repeated(15 * 1024 * 1024 / 15);
        QVERIFY(memostore::save(first, path).ok());
        const QByteArray firstBytes = fileBytes(path);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(memostore::save(second, path).ok());
        const qint64 saveMs = clock.restart();
        const QByteArray secondBytes = fileBytes(path);
        QVERIFY(textfile::writeAtomically(path, secondBytes).ok());
        const qint64 writeMs = clock.elapsed();

        const quint32 seed = QRandomGenerator::system()->generate();
        QRandomGenerator random(seed);
        // Where a kill falls is chance, and a busy machine moves it: the kills go on until enough
        // of them fell while the file was written.
        constexpr int leastKills = 20;
        constexpr int leastWhileWriting = leastKills / 4;
        constexpr int mostKills = 200;
        int midWrite = 0;
        int kill = 0;
        for (; kill < mostKills && (kill < leastKills || midWrite < leastWhileWriting); ++kill) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                for (bool useFirst = true;; useFirst = !useFirst)
                    if (!memostore::save(useFirst ? first : second, path).ok())
                        _exit(2);
            }
            // Every other kill falls while the file is written (most of a save is encoding).
            const bool whileWriting = kill % 2 == 1;
            const QDeadlineTimer deadline(10'000);
            while (whileWriting && !hasFileOpenIn(child, folder) && !deadline.hasExpired())
                QThread::msleep(1);
            const qint64 delay = random.bounded(whileWriting ? writeMs / 2 + 1 : 3 * saveMs + 1);
            QThread::msleep(delay);
            midWrite += hasFileOpenIn(child, folder) ? 1 : 0;
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status), "the saving child ended by itself: a save failed");

            const QByteArray now = fileBytes(path);
            QVERIFY2(
                now == firstBytes || now == secondBytes,
                qPrintable(u"seed %1, kill %2: %3 bytes"_s.arg(seed).arg(kill).arg(now.size())));
            for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
                QVERIFY2(name.startsWith(memostore::fileName), qPrintable(name));
                if (name != memostore::fileName)
                    QVERIFY(QFile::remove(dir.path(name)));
            }
        }
        QVERIFY2(midWrite >= leastWhileWriting,
                 qPrintable(u"only %1 of %2 kills while writing"_s.arg(midWrite).arg(kill)));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
