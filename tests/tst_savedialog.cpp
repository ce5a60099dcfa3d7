#include "app/mainwindow.h"
#include "app/qtsetup.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "memo/memoedit.h"
#include "platform/prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace pennoro;

namespace {

// The files the dialog lists, sorted, but for the one it opened with: Qt lists that one whatever
// the filter when its file model has not yet seen the file in the folder, which depends on when
// the model's watching of the folder catches up with the last save.
QStringList listedFiles(const QFileDialog& dialog)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    const QModelIndex folder =
        dialog.findChild<QListView*>(QStringLiteral("listView"))->rootIndex();
    QStringList listed;
    for (int row = 0; row < model->rowCount(folder); ++row)
        listed.append(model->index(row, 0, folder).data().toString());
    listed.removeAll(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text());
    listed.sort();
    return listed;
}

// Whether the dialog shows its folder as it will stay: its file model lists the folder's files in
// the background and applies a new name filter only from the event loop, so a dialog just opened
// can list nothing yet, or names its filter hides. Shown: it lists just the files there that pass
// its model's filter.
bool settled(const QFileDialog& dialog)
{
    QStringList onDisk = dialog.directory().entryList(
        dialog.findChild<QFileSystemModel*>()->nameFilters(), QDir::Files, QDir::Name);
    onDisk.removeAll(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text());
    return listedFiles(dialog) == onDisk;
}

// The dialog as "name 'name it opened with' filter in folder: files".
QString describe(const QFileDialog& dialog)
{
    return QStringLiteral("%1 '%2' %3 in %4: %5")
        .arg(dialog.objectName(),
             dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
             dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText(),
             dialog.directory().absolutePath(), listedFiles(dialog).join(u' '));
}

// Runs the menu item and answers as a user: OK in a message box ("title, icon: text"); in the
// save dialog, once it shows its folder, types the name (none: keeps the one it opened with),
// then Return, or Escape.
QStringList answer(MainWindow& window, const QString& control, const QString& typed = {},
                   bool cancel = false)
{
    QStringList seen;
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    const auto keyPending = std::make_shared<bool>(false);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!open || !open->isVisible())
            return;
        auto* box = qobject_cast<QMessageBox*>(open);
        auto* dialog = qobject_cast<QFileDialog*>(open);
        auto* edit = open->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (clock.elapsed() > 10000) {
            seen.append(QStringLiteral("still open: ") + open->metaObject()->className() +
                        (dialog ? QStringLiteral(", ") + describe(*dialog) : QString()));
            open->reject();
        } else if (box) {
            const char* icon = QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon());
            seen.append(box->windowTitle() + ", " + icon + ": " + box->text());
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject(); // a question that should not be there
        } else if (dialog && settled(*dialog) && !*keyPending) {
            seen.append(describe(*dialog));
            if (!typed.isEmpty()) {
                edit->selectAll();
                QTest::keyClicks(edit, typed);
            }
            // Pressed outside this handler, so that it can answer an overwrite question.
            *keyPending = true;
            QTimer::singleShot(0, edit, [edit, cancel, keyPending] {
                QTest::keyClick(edit, cancel ? Qt::Key_Escape : Qt::Key_Return);
                *keyPending = false;
            });
        }
    });
    timer.start(10);
    window.findChild<QAction*>(control)->trigger();
    return seen;
}

// Every file and folder below `folder`, hidden ones too, as "path: bytes" lines.
QStringList everythingBelow(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        found.append(QDir(folder).relativeFilePath(path) + QStringLiteral(": ") +
                     QString::fromLocal8Bit(it.fileInfo().isFile() ? fileBytes(path) : "folder"));
    }
    found.sort();
    return found;
}

const QString notice =
    QStringLiteral("Pennoro, NoIcon: ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!");

// The main window over the real prompts, shown, with "abc" in the memo.
struct WindowWithRealDialogs : WindowOver<QtPrompts> {
    WindowWithRealDialogs()
    {
        prompts.setOwner(&window);
        window.show();
        window.memo()->loadText(QStringLiteral("abc"));
    }
};

} // namespace

// The export and the clipboard save through the real message boxes and the one real save dialog.
class TestSaveDialog : public QObject {
    Q_OBJECT

    QTemporaryDir home_;

private slots:
    // The user's home and configuration folders are fresh ones, set before Qt first looks up
    // where settings live; the program's own start-up follows.
    void initTestCase()
    {
        QVERIFY(home_.isValid());
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.path()));
        qtsetup::keepNoSettings();
    }

    // One dialog serves the whole run. Its folder, history and layout live for the run only:
    // another Qt program's dialog settings do not steer it, and using it, closing it and
    // destroying it leaves every file under the home folder as it was.
    void oneDialogForTheWholeRun()
    {
        const QByteArray elsewhere = QUrl::fromLocalFile(home_.path()).toEncoded();
        QVERIFY(writeBytes(home_.filePath(QStringLiteral("QtProject.conf")),
                           "[FileDialog]\nhistory=" + elsewhere + "\nlastVisited=" + elsewhere +
                               "\nviewMode=List\n"));
        const QStringList before = everythingBelow(home_.path());
        InTempDir dir;
        for (const char* name : {"a.TXT", "b.txt", "c.Txt", "d.html"})
            QVERIFY(writeBytes(dir.path(QString::fromLatin1(name)), "old"));
        const QString dialog = "CommonDialog1 '%1' ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT) in " +
                               QDir(dir.path({})).absolutePath() + ": a.TXT b.txt c.Txt";
        const QString chosen = dir.path(QStringLiteral("noext"));
        {
            WindowWithRealDialogs t;
            MainWindow& window = t.window;

            // It opens in the current folder; "*.TXT" lists names in any case; a typed name gets
            // no extension.
            QCOMPARE(answer(window, QStringLiteral("mnuFC"), QStringLiteral("noext")),
                     QStringList({notice, dialog.arg(QString())}));
            QCOMPARE(fileBytes(chosen), QByteArray("abc\r\n"));

            // Then in the folder chosen last; cancelled, it writes nothing.
            QVERIFY(QDir::setCurrent(QDir::tempPath()));
            window.memo()->setWholeText(QStringLiteral("second"));
            QCOMPARE(answer(window, QStringLiteral("mnuFC"), QStringLiteral("typed"), true),
                     QStringList({notice, dialog.arg("noext")}));
            QCOMPARE(fileBytes(chosen), QByteArray("abc\r\n"));

            // The clipboard save opens with the name chosen last and replaces the file unasked.
            t.clipboard.content = QStringLiteral("clip");
            QCOMPARE(answer(window, QStringLiteral("mnuFCS")),
                     QStringList({notice, dialog.arg("noext")}));
            QCOMPARE(fileBytes(chosen), QByteArray("clip\r\n"));

            window.memo()->setWholeText(QString());
            QCOMPARE(answer(window, QStringLiteral("mnuFC")),
                     QStringList{"保存, Warning: ﾌｧｲﾙに保存するﾃﾞｰﾀが見つかりません。"});
            auto* used = window.findChild<QFileDialog*>(QStringLiteral("CommonDialog1"));
            QCOMPARE(used->viewMode(), QFileDialog::Detail); // Qt's own choice
            QVERIFY(!used->history().contains(home_.path()));
        }
        QCOMPARE(everythingBelow(home_.path()), before);
    }
};

QTEST_MAIN(TestSaveDialog)
#include "tst_savedialog.moc"
