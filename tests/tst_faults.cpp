// Real faults of the file system under the three commands that write files (save-and-exit, the
// memo export and the clipboard save), driven the way the user runs them. Whatever the fault, the
// promise is the same: a message titled "Pennoro" names the file and the reason, the memo, its
// selection and the caption stay as they were, an earlier file stays whole and no temporary file
// is left beside it, the program stays open, and the same command succeeds once the fault is gone.
// The faults bind the superuser too (the test suite runs as root on CI): permissions are tested
// as the unprivileged user "nobody", a full disk is the process's file size limit.

#include "app/memostore.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "platform/cp932codec.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>

#ifdef Q_OS_UNIX
#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <thread>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

const QString captionPrefix = u"Pennoro Ver 2.0 - "_s;

enum class Command { SaveAndExit, Export, ClipboardSave };
enum class Fault { FolderAtPath, ReadOnlyFolder, ReadOnlyFile, DiskFull, DiskFullAtLastWrite };

struct CommandInfo {
    Command command;
    const char* name;
    QString fileName; // the file it writes, in the folder under test
};

const CommandInfo commands[] = {
    {Command::SaveAndExit, "save-and-exit", memostore::fileName},
    {Command::Export, "export", u"memo.TXT"_s},
    {Command::ClipboardSave, "clipboard save", u"clipboard.TXT"_s},
};

struct FaultInfo {
    Fault fault;
    const char* name;
    QString reason; // what the message must say about the cause
};

// The reasons are the system's (or Qt's) own words for the fault.
const FaultInfo faults[] = {
    {Fault::FolderAtPath, "path is a folder", u"directory"_s},
    {Fault::ReadOnlyFolder, "read-only folder", u"Permission denied"_s},
    {Fault::ReadOnlyFile, "read-only file", u"not writable"_s},
    {Fault::DiskFull, "disk full", u"File too large"_s},
    // Small enough for Qt's write buffer: the fault shows only when the file is committed.
    {Fault::DiskFullAtLastWrite, "disk full at the last write", u"File too large"_s},
};

constexpr qsizetype fileSizeLimit = 4096;
// The selection in the memo, in its first line.
constexpr int selectionStart = 4;
constexpr int selectionLength = 6;

// The memo each run starts from: Japanese, a character the code page lacks, a selection in the
// middle. The disk-full runs need more text than the limit allows.
QString memoFor(Fault fault)
{
    const QString line = u"<P>日本語のﾃｷｽﾄ😀</P>\r\n"_s;
    switch (fault) {
    case Fault::DiskFull:
        return line.repeated(2000);
    case Fault::DiskFullAtLastWrite:
        return line.repeated(300);
    default:
        return line.repeated(3);
    }
}

#ifdef Q_OS_UNIX

// Runs as the user "nobody" while it lives, when the test runs as root: file permissions then
// bind, both for the system calls and for the access checks Qt makes itself. Root stays the saved
// user id, so it can come back.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser()
    {
        if (geteuid() != 0)
            return;
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || setresgid(nobody->pw_gid, nobody->pw_gid, 0) != 0)
            return;
        active_ = setresuid(nobody->pw_uid, nobody->pw_uid, 0) == 0;
        if (!active_)
            setresgid(0, 0, 0);
    }
    ~AsUnprivilegedUser()
    {
        if (active_ && setresuid(0, 0, 0) == 0)
            setresgid(0, 0, 0);
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

    bool bound() const { return active_ || geteuid() != 0; }

private:
    bool active_ = false;
};

// A full disk, as far as this process can tell: writes beyond the limit fail with EFBIG. The
// signal the kernel also sends would end the process; a program that ignores it sees the error.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

#endif

// Readable (and for a folder, enterable) by everyone; writable by everyone or by no one.
QFileDevice::Permissions openToAll(bool folder, bool writable)
{
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::ReadOther;
    if (folder)
        permissions |= QFileDevice::ExeOwner | QFileDevice::ExeOther;
    if (writable)
        permissions |= QFileDevice::WriteOwner | QFileDevice::WriteOther;
    return permissions;
}

#ifdef Q_OS_UNIX
// Whether the process has a file in the folder open, as while it writes one there.
bool hasFileOpenIn(pid_t process, const QString& folder)
{
    const QString fds = u"/proc/%1/fd"_s.arg(process);
    const QStringList entries = QDir(fds).entryList(QDir::Files | QDir::System);
    return std::any_of(entries.begin(), entries.end(), [&](const QString& fd) {
        return QFile::symLinkTarget(fds + u'/' + fd).startsWith(folder);
    });
}
#endif

// Every file below a folder with its bytes, names relative to the folder; folders end in "/".
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = QDir(folder).relativeFilePath(info.filePath());
        if (info.isDir())
            files.insert(name + u'/', {});
        else
            files.insert(name, fileBytes(info.filePath()));
    }
    return files;
}

// One run of a command over one fault, in a folder of its own under a fresh current directory.
struct FaultRun {
    InTempDir root;
    QString folder = root.path(u"target"_s);
    CommandInfo command;
    FaultInfo fault;
    QString path;
    QString memo = memoFor(fault.fault);
    TestWindow t;
    QSignalSpy exits{&t.window, &MainWindow::exitRequested};

    FaultRun(const CommandInfo& c, const FaultInfo& f)
        : command(c), fault(f), path(QDir(folder).filePath(c.fileName))
    {
    }

    // Lays out the folder with an earlier file under the name (or the folder in its way), shows an
    // earlier export in the caption and selects part of the memo.
    void prepare()
    {
        QVERIFY(QDir().mkdir(folder));
        if (fault.fault == Fault::FolderAtPath) {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(writeBytes(QDir(path).filePath(u"inside.txt"_s), "keep me\r\n"));
        } else {
            QVERIFY(writeBytes(path, "the earlier file\r\n"));
        }
        if (command.command == Command::SaveAndExit)
            QVERIFY(QDir::setCurrent(folder)); // the memo store lies in the current directory

        const QString earlier = root.path(u"earlier.TXT"_s);
        t.setMemo(memo);
        t.prompts.answers = QStringList{earlier};
        t.action(u"mnuFC"_s)->trigger();
        QCOMPARE(t.window.windowTitle(), captionPrefix + QDir::toNativeSeparators(earlier));
        t.prompts.messages.clear();
        t.clipboard.content = memo;
        t.select(selectionStart, selectionLength);
    }

    void run()
    {
        switch (command.command) {
        case Command::SaveAndExit:
            QTest::keyClick(&t.memo(), Qt::Key_F2);
            break;
        case Command::Export:
            t.prompts.answers = QStringList{path};
            t.action(u"mnuFC"_s)->trigger();
            break;
        case Command::ClipboardSave:
            t.prompts.answers = QStringList{path};
            t.action(u"mnuFCS"_s)->trigger();
            break;
        }
    }

    // Runs the command with the fault in place, as the system would have it.
    void runWithFault()
    {
#ifdef Q_OS_UNIX
        switch (fault.fault) {
        case Fault::FolderAtPath:
            run();
            return;
        case Fault::ReadOnlyFolder:
        case Fault::ReadOnlyFile: {
            // Others may pass through the temporary folder, as through /tmp itself.
            QVERIFY(QFile::setPermissions(root.path(QString()),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ExeOther));
            const bool folderWritable = fault.fault == Fault::ReadOnlyFile;
            QVERIFY(QFile::setPermissions(folder, openToAll(true, folderWritable)));
            QVERIFY(QFile::setPermissions(path, openToAll(false, !folderWritable)));
            AsUnprivilegedUser nobody;
            QVERIFY(nobody.bound());
            run();
            return;
        }
        case Fault::DiskFull:
        case Fault::DiskFullAtLastWrite: {
            FileSizeLimit limit(fileSizeLimit);
            QVERIFY(limit.active());
            run();
            return;
        }
        }
#else
        QFAIL("the faults are made with POSIX calls");
#endif
    }

    void liftFault()
    {
        switch (fault.fault) {
        case Fault::FolderAtPath:
            QVERIFY(QDir(path).removeRecursively());
            break;
        case Fault::ReadOnlyFolder:
        case Fault::ReadOnlyFile:
            QVERIFY(QFile::setPermissions(folder, openToAll(true, true)));
            QVERIFY(QFile::setPermissions(path, openToAll(false, true)));
            break;
        case Fault::DiskFull:
        case Fault::DiskFullAtLastWrite:
            break; // the limit went with the run
        }
    }
};

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void commandsSurviveFaults_data();
    void commandsSurviveFaults();
    void memoStoreKilledWhileWriting();
};

void TestFaults::commandsSurviveFaults_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("fault");
    for (int c = 0; c < int(std::size(commands)); ++c)
        for (int f = 0; f < int(std::size(faults)); ++f)
            QTest::addRow("%s, %s", commands[c].name, faults[f].name) << c << f;
}

void TestFaults::commandsSurviveFaults()
{
    QFETCH(int, command);
    QFETCH(int, fault);
#ifndef Q_OS_UNIX
    QSKIP("the faults are made with POSIX calls");
#endif
    FaultRun r(commands[command], faults[fault]);
    r.prepare();
    if (QTest::currentTestFailed())
        return;
    const QString caption = r.t.window.windowTitle();
    const QMap<QString, QByteArray> before = snapshot(r.folder);

    r.runWithFault();
    if (QTest::currentTestFailed())
        return;

    // The message: the last one shown, after the notice for the export and the clipboard save.
    QVERIFY(!r.t.prompts.messages.isEmpty());
    const FakePrompts::Message& report = r.t.prompts.messages.last();
    QCOMPARE(report.title, u"Pennoro"_s);
    QCOMPARE(report.icon, Prompts::Icon::Critical);
    QVERIFY2(report.text.contains(QDir::toNativeSeparators(r.path)), qPrintable(report.text));
    QVERIFY2(report.text.contains(r.fault.reason, Qt::CaseInsensitive), qPrintable(report.text));
    QCOMPARE(r.t.prompts.messages.size(), r.command.command == Command::SaveAndExit ? 1 : 2);

    // Nothing lost, nothing changed, the program still open.
    QCOMPARE(snapshot(r.folder), before);
    QCOMPARE(r.t.memo().wholeText(), r.memo);
    QCOMPARE(r.t.memo().selectedText(), r.memo.mid(selectionStart, selectionLength));
    QCOMPARE(r.t.window.windowTitle(), caption);
    QCOMPARE(r.exits.count(), 0);
    QVERIFY(r.t.window.isVisible() && r.t.window.isEnabled() && r.t.memo().isEnabled());
    QVERIFY(r.t.memo().hasFocus());

    // Once the fault is gone, the same command does its work.
    r.liftFault();
    r.t.prompts.messages.clear();
    r.run();
    QCOMPARE(r.t.prompts.messages.size(), r.command.command == Command::SaveAndExit ? 0 : 1);
    QCOMPARE(fileBytes(r.path), cp932::encode(r.memo).bytes + "\r\n");
    QCOMPARE(r.exits.count(), r.command.command == Command::SaveAndExit ? 1 : 0);
}

// A process killed at any moment while it saves the memo store leaves either the earlier store or
// the new one, byte for byte, never a mix or a truncation.
void TestFaults::memoStoreKilledWhileWriting()
{
#ifndef Q_OS_UNIX
    QSKIP("needs fork and kill");
#else
    InTempDir dir;
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
    int strays = 0;
    int midWrite = 0;
    constexpr int kills = 20;
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (bool useFirst = true;; useFirst = !useFirst)
                if (!memostore::save(useFirst ? first : second, path).ok())
                    _exit(2);
        }
        // Every other kill falls at any moment of the loop, the others while the file is written
        // (most of a save is spent encoding).
        const bool whileWriting = kill % 2 == 1;
        if (whileWriting) {
            const QDeadlineTimer deadline(10'000);
            while (!hasFileOpenIn(child, dir.path(QString())) && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const qint64 delay = random.bounded(whileWriting ? writeMs / 2 + 1 : 3 * saveMs + 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        if (hasFileOpenIn(child, dir.path(QString())))
            ++midWrite;
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status), "the saving child ended by itself: a save failed");

        const QByteArray now = fileBytes(path);
        QVERIFY2(now == firstBytes || now == secondBytes,
                 qPrintable(u"kill %1 (seed %2, after %3 ms) left %4 bytes"_s.arg(kill)
                                .arg(seed)
                                .arg(delay)
                                .arg(now.size())));
        // A write cut short leaves its temporary file; the store never depends on it.
        QStringList others =
            QDir(dir.path(QString())).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        others.removeOne(memostore::fileName);
        for (const QString& name : others) {
            QVERIFY2(name.startsWith(memostore::fileName), qPrintable(name));
            QVERIFY(QFile::remove(dir.path(name)));
            ++strays;
        }
    }
    qInfo("%d kills (a save takes %lld ms, its writing %lld ms), %d of them while writing: %d left "
          "a temporary file beside the store",
          kills, saveMs, writeMs, midWrite, strays);
    QVERIFY(midWrite >= kills / 4);
    QCOMPARE(memostore::load(path).status, ReadResult::Status::Read);
#endif
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
