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

#include <csignal>
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

enum class Fault { FolderAtPath, ReadOnlyFile, DiskFull, DiskFullAtLastWrite };

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

// The reason in the system's words. A full disk at the last write: a memo that fits Qt's buffer.
const struct {
    Fault fault;
    const char* name;
    QString reason;
    int lines;
} faults[] = {
    {Fault::FolderAtPath, "path is a folder", u"directory"_s, 3},
    {Fault::ReadOnlyFile, "read-only file", u"not writable"_s, 3},
    {Fault::DiskFull, "disk full", u"File too large"_s, 2000},
    {Fault::DiskFullAtLastWrite, "disk full at the last write", u"File too large"_s, 300},
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

// What saving a memo larger than the file size limit gives in a child process that starts with
// the signal's default action and then makes the program's own call, or not.
QString saveBeyondFileSizeLimit(const QString& path, bool programsCall)
{
    return answerOfChild([&]() -> QByteArray {
        std::signal(SIGXFSZ, SIG_DFL);
        if (programsCall)
            writesignals::ignore();
        const FileSizeLimit limit;
        if (!limit.active)
            return "no limit";
        const Outcome saved = memostore::save(QString(10'000, u'a'), path);
        return saved.ok() ? "saved" : saved.failure().reason.toUtf8();
    });
}

ino_t inodeOf(const QString& path)
{
    struct stat status {};
    return stat(qPrintable(path), &status) == 0 ? status.st_ino : 0;
}

// The type of what stands under the name itself, a link not followed.
mode_t typeAt(const QString& path)
{
    struct stat status {};
    return lstat(qPrintable(path), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

enum class Special { Device, PipeWithReader, PipeWithoutReader };

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

    void commandsSurviveFaults_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("fault");
        for (int c = 0; c < int(std::size(commands)); ++c)
            for (int f = 0; f < int(std::size(faults)); ++f)
                QTest::addRow("%s, %s", commands[c].name, faults[f].name) << c << f;
    }

    void commandsSurviveFaults()
    {
        QFETCH(int, command);
        QFETCH(int, fault);
        const char* const action = commands[command].action;
        const auto& f = faults[fault];
        InTempDir root;
        const QString folder = root.path(u"target"_s);
        const QString path = QDir(folder).filePath(commands[command].fileName);
        // The earlier file, or one in a folder in the command's way.
        const QString earlier = f.fault == Fault::FolderAtPath ? path + u"/inside.txt"_s : path;
        QVERIFY(QDir().mkpath(QFileInfo(earlier).path()) && writeBytes(earlier, "earlier\r\n"));
        if (!action)
            QVERIFY(QDir::setCurrent(folder)); // where the memo store lies

        // An earlier export in the caption, part of the memo selected.
        TestWindow t;
        QVERIFY(t.ready());
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        const QString memo = u"<P>日本語のﾃｷｽﾄ😀</P>\r\n"_s.repeated(f.lines);
        t.setMemo(memo);
        run(t, "mnuFC", root.path(u"earlier.TXT"_s));
        t.prompts.messages.clear();
        t.clipboard.content = memo;
        t.select(4, 6);
        const QString caption = t.window.windowTitle();

        const bool readOnly = f.fault == Fault::ReadOnlyFile;
        if (readOnly) {
            // "nobody" may pass through the temporary folder, as through /tmp itself.
            QVERIFY(setMode(root.path(QString()), 0701));
            QVERIFY(setMode(folder, 0777));
            QVERIFY(setMode(path, 0444));
        }
        {
            std::optional<AsUnprivilegedUser> nobody;
            std::optional<FileSizeLimit> limit;
            if (readOnly)
                QVERIFY(nobody.emplace().bound());
            else if (f.fault != Fault::FolderAtPath)
                QVERIFY(limit.emplace().active);
            run(t, action, path);
        }

        // One message (after the notice of the export and clipboard save) names file and reason;
        // nothing lost, nothing changed, the program still open.
        const bool saveAndExit = !action;
        QCOMPARE(t.prompts.messages.size(), saveAndExit ? 1 : 2);
        const QString report = t.prompts.shown().last();
        QVERIFY2(report.startsWith(u"Pennoro, critical: "_s), qPrintable(report));
        QVERIFY2(report.contains(QDir::toNativeSeparators(path)), qPrintable(report));
        QVERIFY2(report.contains(f.reason, Qt::CaseInsensitive), qPrintable(report));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{commands[command].fileName});
        QCOMPARE(fileBytes(earlier), "earlier\r\n");
        QCOMPARE(t.memo().wholeText(), memo);
        QCOMPARE(t.memo().selectedText(), memo.mid(4, 6));
        QCOMPARE(t.window.windowTitle(), caption);
        QCOMPARE(exits.count(), 0);
        QVERIFY(t.window.isVisible() && t.window.isEnabled() && t.memo().hasFocus());

        // Once the fault is gone, the same command does its work.
        if (f.fault == Fault::FolderAtPath)
            QVERIFY(QDir(path).removeRecursively());
        QVERIFY(setMode(folder, 0777));
        setMode(path, 0666);
        t.prompts.messages.clear();
        run(t, action, path);
        QCOMPARE(t.prompts.messages.size(), saveAndExit ? 0 : 1);
        QCOMPARE(fileBytes(path), cp932::encode(memo).value().bytes + "\r\n");
        QCOMPARE(exits.count(), saveAndExit ? 1 : 0);
    }

    // Beyond the file size limit the system sends SIGXFSZ, which ends a process that does not
    // ignore it, with the memo in its window. After the program's own call the save fails and
    // says why, and the store stays as it was.
    void fileSizeLimitIsReported_data()
    {
        QTest::addColumn<bool>("programsCall");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("the program's call") << true << u"File too large"_s;
        QTest::newRow("without it, the signal ends the process")
            << false << u"ended by signal %1"_s.arg(SIGXFSZ);
    }

    void fileSizeLimitIsReported()
    {
        QFETCH(bool, programsCall);
        QFETCH(QString, outcome);
        InTempDir dir;
        const QString path = dir.path(memostore::fileName);
        QVERIFY(writeBytes(path, "earlier\r\n"));
        const QString answer = saveBeyondFileSizeLimit(path, programsCall);
        QVERIFY2(answer.contains(outcome, Qt::CaseInsensitive), qPrintable(answer));
        QCOMPARE(fileBytes(path), "earlier\r\n");
    }

    // A folder that takes no new file: an existing file that may be written is written in place,
    // the same file, not a replacement; with none there, the command fails and says why.
    void readOnlyFolder_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("fileExists");
        for (int c = 0; c < int(std::size(commands)); ++c) {
            QTest::addRow("%s, writable file", commands[c].name) << c << true;
            QTest::addRow("%s, no file", commands[c].name) << c << false;
        }
    }

    void readOnlyFolder()
    {
        QFETCH(int, command);
        QFETCH(bool, fileExists);
        const char* const action = commands[command].action;
        const bool saveAndExit = !action;
        InTempDir root;
        const QString folder = root.path(u"target"_s);
        const QString path = QDir(folder).filePath(commands[command].fileName);
        QVERIFY(QDir().mkpath(folder));
        if (fileExists)
            QVERIFY(writeBytes(path, "earlier\r\n") && setMode(path, 0666));
        if (saveAndExit)
            QVERIFY(QDir::setCurrent(folder));
        TestWindow t;
        QVERIFY(t.ready());
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        const QString memo = u"<P>日本語のﾃｷｽﾄ😀</P>\r\n"_s.repeated(3);
        t.setMemo(memo);
        t.clipboard.content = memo;
        const ino_t inode = inodeOf(path);
        // "nobody" may pass through the temporary folder, as through /tmp itself.
        QVERIFY(setMode(root.path(QString()), 0701) && setMode(folder, 0555));
        {
            AsUnprivilegedUser nobody;
            QVERIFY(nobody.bound());
            run(t, action, path);
        }
        QVERIFY(setMode(folder, 0777));

        const int notices = saveAndExit ? 0 : 1;
        if (fileExists) {
            QCOMPARE(t.prompts.messages.size(), notices);
            QCOMPARE(fileBytes(path), cp932::encode(memo).value().bytes + "\r\n");
            QCOMPARE(inodeOf(path), inode);
        } else {
            QCOMPARE(t.prompts.messages.size(), notices + 1);
            const QString report = t.prompts.shown().last();
            QVERIFY2(report.contains(QDir::toNativeSeparators(path)), qPrintable(report));
            QVERIFY2(report.contains(u"Permission denied"_s), qPrintable(report));
        }
        QCOMPARE(exits.count(), saveAndExit && fileExists ? 1 : 0);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 fileExists ? QStringList{commands[command].fileName} : QStringList());
        QCOMPARE(t.memo().wholeText(), memo);
    }

    // An export or clipboard save onto a device or a pipe writes into it and leaves it what it
    // was, never a regular file in its place; a pipe that nobody reads fails at once.
    void pipesAndDevicesAreWrittenInto_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<Special>("special");
        for (int c = 1; c < int(std::size(commands)); ++c) {
            QTest::addRow("%s, device", commands[c].name) << c << Special::Device;
            QTest::addRow("%s, pipe with a reader", commands[c].name)
                << c << Special::PipeWithReader;
            QTest::addRow("%s, pipe without a reader", commands[c].name)
                << c << Special::PipeWithoutReader;
        }
    }

    void pipesAndDevicesAreWrittenInto()
    {
        QFETCH(int, command);
        QFETCH(Special, special);
        InTempDir root;
        const QString path = root.path(commands[command].fileName);
        if (special == Special::Device && geteuid() == 0) // a /dev/null of the test's own
            QVERIFY(mknod(qPrintable(path), S_IFCHR | 0666, makedev(1, 3)) == 0);
        else if (special == Special::Device)
            QVERIFY(QFile::link(u"/dev/null"_s, path));
        else
            QVERIFY(mkfifo(qPrintable(path), 0666) == 0);
        const mode_t type = typeAt(path);
        const int reader = special == Special::PipeWithReader
                               ? open(qPrintable(path), O_RDONLY | O_NONBLOCK | O_CLOEXEC)
                               : -1;
        QVERIFY(special != Special::PipeWithReader || reader >= 0);

        TestWindow t;
        const QString memo = u"<P>日本語のﾃｷｽﾄ😀</P>\r\n"_s.repeated(3);
        t.setMemo(memo);
        t.clipboard.content = memo;
        run(t, commands[command].action, path);

        if (special == Special::PipeWithoutReader) {
            QCOMPARE(t.prompts.messages.size(), 2);
            const QString report = t.prompts.shown().last();
            QVERIFY2(report.contains(QDir::toNativeSeparators(path)), qPrintable(report));
            QVERIFY2(report.contains(filereasons::noReceiver), qPrintable(report));
        } else {
            QCOMPARE(t.prompts.messages.size(), 1);
        }
        if (reader >= 0) {
            QByteArray got(4096, '\0');
            got.resize(std::max<ssize_t>(read(reader, got.data(), got.size()), 0));
            close(reader);
            QCOMPARE(got, cp932::encode(memo).value().bytes + "\r\n");
        }
        QCOMPARE(typeAt(path), type);
        QCOMPARE(
            QDir(root.path(QString()))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
            QStringList{commands[command].fileName});
        QCOMPARE(t.memo().wholeText(), memo);
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
