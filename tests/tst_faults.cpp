// Real faults of the file system under the three commands that write files, run the way the user
// runs them. Whatever the fault: a message titled "Pennoro" names the file and the reason, the
// memo, selection and caption stay, the earlier file stays whole with no temporary file beside
// it, the program stays open, and the same command succeeds once the fault is gone. The faults
// bind root too: permissions are tested as the user "nobody", a full disk is a file size limit.

#include "app/memostore.h"
#include "fakes/testfiles.h"
#include "fakes/unprivileged.h"
#include "fakes/testwindow.h"
#include "platform/cp932codec.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

enum class Fault { FolderAtPath, ReadOnlyFolder, ReadOnlyFile, DiskFull, DiskFullAtLastWrite };

// The menu command that asks for a file name, or none for save-and-exit (F2).
const struct {
    const char* name;
    QString fileName;
    const char* action;
} commands[] = {
    {"save-and-exit", memostore::fileName, nullptr},
    {"export", u"memo.TXT"_s, "mnuFC"},
    {"clipboard save", u"clipboard.TXT"_s, "mnuFCS"},
};

// The reason is the system's (or Qt's) own word for the fault. The memo of a full disk is longer
// than the limit; at the last write, short enough for Qt's write buffer, so that a buffered write
// would show the fault only when the file is committed.
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

constexpr rlim_t fileSizeLimit = 4096;

// A full disk, as far as this process can tell: writes beyond the limit fail with EFBIG. The
// signal that the kernel also sends would end the process; ignored, the write sees the error.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool active() const { return active_; }

private:
    void (*oldHandler_)(int);
    rlimit saved_{};
    bool active_ = false;
};

bool setMode(const QString& path, mode_t mode)
{
    return chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Whether the process has a file in the folder open, as while it writes one there.
bool hasFileOpenIn(pid_t process, const QString& folder)
{
    const QString fds = u"/proc/%1/fd"_s.arg(process);
    const QStringList entries = QDir(fds).entryList(QDir::Files | QDir::System);
    return std::any_of(entries.begin(), entries.end(), [&](const QString& fd) {
        return QFile::symLinkTarget(fds + u'/' + fd).startsWith(folder);
    });
}

// Every file below a folder with its bytes, names relative to the folder; folders end in "/".
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        files.insert(info.isDir() ? name + u'/' : name, fileBytes(info.filePath()));
    }
    return files;
}

// Runs the command the way the user does, answering the save dialog with the path.
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
        // The command's file in a folder of its own: an earlier file, or a folder in its way.
        InTempDir root;
        const QString folder = root.path(u"target"_s);
        const QString path = QDir(folder).filePath(commands[command].fileName);
        QVERIFY(QDir().mkdir(folder));
        if (f.fault == Fault::FolderAtPath)
            QVERIFY(QDir().mkdir(path) && writeBytes(path + u"/inside.txt"_s, "keep me\r\n"));
        else
            QVERIFY(writeBytes(path, "the earlier file\r\n"));
        if (!action)
            QVERIFY(QDir::setCurrent(folder)); // the memo store lies in the current directory

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
        QVERIFY(caption.endsWith(QDir::toNativeSeparators(root.path(u"earlier.TXT"_s))));
        const QMap<QString, QByteArray> before = snapshot(folder);

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
            if (f.fault == Fault::DiskFull || f.fault == Fault::DiskFullAtLastWrite)
                QVERIFY(limit.emplace(fileSizeLimit).active());
            run(t, action, path);
        }

        // The one message, after the notice of the export and the clipboard save.
        const bool saveAndExit = !action;
        QCOMPARE(t.prompts.messages.size(), saveAndExit ? 1 : 2);
        const FakePrompts::Message& report = t.prompts.messages.last();
        QCOMPARE(report.title, u"Pennoro"_s);
        QCOMPARE(report.icon, Prompts::Icon::Critical);
        QVERIFY2(report.text.contains(QDir::toNativeSeparators(path)), qPrintable(report.text));
        QVERIFY2(report.text.contains(f.reason, Qt::CaseInsensitive), qPrintable(report.text));
        // Nothing lost, nothing changed, the program still open.
        QCOMPARE(snapshot(folder), before);
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
        QCOMPARE(fileBytes(path), cp932::encode(memo).bytes + "\r\n");
        QCOMPARE(exits.count(), saveAndExit ? 1 : 0);
    }

    // A process killed at any moment while it saves the memo store leaves either the earlier store
    // or the new one, byte for byte, never a mix or a truncation.
    void memoStoreKilledWhileWriting()
    {
        InTempDir dir;
        const QString folder = dir.path(QString());
        const QString path = dir.path(memostore::fileName);
        // Two memos of some 20 MB and 15 MB whose files differ from the first byte on.
        const QString first = u"<P>日本語のﾃｷｽﾄ 1</P>\r\n"_s.repeated(20 * 1024 * 1024 / 23);
        const QString second = u"<B>ﾃｷｽﾄ 2</B>\r\n"_s.repeated(15 * 1024 * 1024 / 15);
        QVERIFY(memostore::save(first, path).ok());
        const QByteArray firstBytes = fileBytes(path);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(memostore::save(second, path).ok());
        const qint64 saveMs = clock.restart();
        const QByteArray secondBytes = fileBytes(path);
        QVERIFY(writeFileAtomically(path, secondBytes).ok());
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
            // Every other kill falls at any moment, the others while the file is written (most of a
            // save is spent encoding).
            const bool whileWriting = kill % 2 == 1;
            const QDeadlineTimer deadline(10'000);
            while (whileWriting && !hasFileOpenIn(child, folder) && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const qint64 delay = random.bounded(whileWriting ? writeMs / 2 + 1 : 3 * saveMs + 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            midWrite += hasFileOpenIn(child, folder) ? 1 : 0;
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status), "the saving child ended by itself: a save failed");

            const QByteArray now = fileBytes(path);
            QVERIFY2(
                now == firstBytes || now == secondBytes,
                qPrintable(u"seed %1, kill %2: %3 bytes"_s.arg(seed).arg(kill).arg(now.size())));
            // A write cut short leaves its temporary file; the store never depends on it.
            for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
                QVERIFY2(name.startsWith(memostore::fileName), qPrintable(name));
                if (name != memostore::fileName)
                    QVERIFY(QFile::remove(dir.path(name)));
            }
        }
        QVERIFY2(midWrite >= kills / 4, qPrintable(u"only %1 kills while writing"_s.arg(midWrite)));
        QCOMPARE(memostore::load(path).status, ReadResult::Status::Read);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
