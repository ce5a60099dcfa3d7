// Real file system faults under the three commands that write files. Permissions bind as the user
// "nobody" even under root; a full disk is a file size limit.

#include "memo/memostore.h"
#include "platform/textfile.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "fakes/unprivileged.h"
#include "platform/cp932codec.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QThread>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

enum class Fault { FolderAtPath, ReadOnlyFolder, ReadOnlyFile, DiskFull, DiskFullAtLastWrite };

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
    {Fault::ReadOnlyFolder, "read-only folder", u"Permission denied"_s, 3},
    {Fault::ReadOnlyFile, "read-only file", u"not writable"_s, 3},
    {Fault::DiskFull, "disk full", u"File too large"_s, 2000},
    {Fault::DiskFullAtLastWrite, "disk full at the last write", u"File too large"_s, 300},
};

// Writes beyond the limit fail with EFBIG; SIGXFSZ, which would end the process, is ignored.
struct FileSizeLimit {
    void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    bool active = getrlimit(RLIMIT_FSIZE, &saved) == 0 && limit(4096);
    bool limit(rlim_t bytes)
    {
        rlimit lower = saved;
        lower.rlim_cur = bytes;
        return setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
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
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        const QString memo = u"<P>日本語のﾃｷｽﾄ😀</P>\r\n"_s.repeated(f.lines);
        t.setMemo(memo);
        run(t, "mnuFC", root.path(u"earlier.TXT"_s));
        t.prompts.messages.clear();
        t.clipboard.content = memo;
        t.select(4, 6);
        const QString caption = t.window.windowTitle();

        const bool readOnly = f.fault == Fault::ReadOnlyFolder || f.fault == Fault::ReadOnlyFile;
        if (readOnly) {
            // "nobody" may pass through the temporary folder, as through /tmp itself.
            QVERIFY(setMode(root.path(QString()), 0701));
            QVERIFY(setMode(folder, f.fault == Fault::ReadOnlyFile ? 0777 : 0555));
            QVERIFY(setMode(path, f.fault == Fault::ReadOnlyFolder ? 0666 : 0444));
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
        constexpr int kills = 20;
        int midWrite = 0;
        for (int kill = 0; kill < kills; ++kill) {
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
        QVERIFY2(midWrite >= kills / 4, qPrintable(u"only %1 kills while writing"_s.arg(midWrite)));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
