// The two commands that write a text file the user names: the Memory menu's export writes the memo,
// the Clipboard menu's save the clipboard's text. Over fake prompts, and once through the real
// message boxes and the one real save dialog.

#include "app/mainwindow.h"
#include "app/qtsetup.h"
#include "common/texts.h"
#include "fakes/rows.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "platform/prompts.h"

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
#include <QTimer>

#include <memory>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

const QString export_ = QStringLiteral("mnuFC");
const QString clipboardSave = QStringLiteral("mnuFCS");
const QString normalCaption = QStringLiteral("Pennoro Ver 2.0 - Normal");
const QString prefix = QStringLiteral("Pennoro Ver 2.0 - ");
const QString noText = QStringLiteral("<no text>");
const QString unreadable = QStringLiteral("<unreadable>");
const QString cancel = QStringLiteral("<cancel>");
const QString notice =
    QStringLiteral("Pennoro, no icon: ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!");

// Gives the command this text to write: the export the memo, edited; the clipboard save the
// clipboard, which may also hold no text or be unreadable.
void hold(TestWindow& t, const QString& control, const QString& text)
{
    if (control == export_)
        t.memo().setWholeText(text);
    else if (text == unreadable)
        t.clipboard.failingAccesses = QStringList{"get"};
    else
        t.clipboard.content = text == noText ? std::nullopt : std::optional(text);
}

const QString readFailed = "Pennoro, critical: " + texts::clipboardReadFailed;
const QString noData = QStringLiteral("保存, warning: ﾌｧｲﾙに保存するﾃﾞｰﾀが見つかりません。");
const QString noClipboardText =
    QStringLiteral("Pennoro, warning: 現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。");
const QByteArray unwritten("before");
const QString out = prefix + "<out>", earlier = prefix + "<earlier>";

const struct {
    const char* name;
    QString control;
    QString before;
    QString later; // once the dialog is open; null: as before
    QStringList shown;
    QByteArray bytes;
    QString caption; // "<out>", "<earlier>": the path of that file
} writeCases[] = {
    // clang-format off
    {"export, code page 932, one line end added", export_, u"before"_s, u"ｱ\u2460\r\n"_s, {notice}, "\xB1\x87\x40\r\n\r\n", out},
    // Only the completely empty memo counts as empty.
    {"export, line ends only", export_, u"\r\n"_s, {}, {notice}, "\r\n\r\n", out},
    {"export, cancelled", export_, u"abc"_s, cancel, {notice}, unwritten, prefix},
    {"export, empty memo", export_, u""_s, {}, {noData}, unwritten, normalCaption},
    {"clipboard save, code page 932, one line end added", clipboardSave, u"old"_s, u"a\r\nあ\U0001F600\r\n"_s, {notice}, "a\r\n\x82\xA0&#128512;\r\n\r\n", earlier},
    {"clipboard save, emptied by another program", clipboardSave, u"old"_s, noText, {notice}, "\r\n", earlier},
    {"clipboard save, cancelled", clipboardSave, u"abc"_s, cancel, {notice}, unwritten, earlier},
    {"clipboard save, no text", clipboardSave, noText, {}, {noClipboardText}, unwritten, earlier},
    {"clipboard save, unreadable", clipboardSave, unreadable, {}, {readFailed}, unwritten, earlier},
    {"clipboard save, unreadable after the dialog", clipboardSave, u"abc"_s, unreadable, {notice, readFailed}, unwritten, earlier},
    // clang-format on
};

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

const QString boxNotice =
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

class TestTextExport : public QObject {
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
                     QStringList({boxNotice, dialog.arg(QString())}));
            QCOMPARE(fileBytes(chosen), QByteArray("abc\r\n"));

            // Then in the folder chosen last; cancelled, it writes nothing.
            QVERIFY(QDir::setCurrent(QDir::tempPath()));
            window.memo()->setWholeText(QStringLiteral("second"));
            QCOMPARE(answer(window, QStringLiteral("mnuFC"), QStringLiteral("typed"), true),
                     QStringList({boxNotice, dialog.arg("noext")}));
            QCOMPARE(fileBytes(chosen), QByteArray("abc\r\n"));

            // The clipboard save opens with the name chosen last and replaces the file unasked.
            t.clipboard.content = QStringLiteral("clip");
            QCOMPARE(answer(window, QStringLiteral("mnuFCS")),
                     QStringList({boxNotice, dialog.arg("noext")}));
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

    void writes_data() { addRows(writeCases); }

    // Only a command with text to write shows the notice, then the dialog. It writes the text there
    // is when the dialog closes, with one line end added, into the file as named (here "out", over
    // an earlier one). The caption shows the last export, edits or not; a cancelled export leaves
    // the prefix alone, the empty memo goes back to Normal. The clipboard save leaves the window
    // as it was.
    void writes()
    {
        const auto& c = rowOf(writeCases);
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        const QString path = dir.path(QStringLiteral("out"));
        const QString earlier = dir.path(QStringLiteral("earlier"));
        QVERIFY(writeBytes(path, "before"));
        t.setMemo(QStringLiteral("memo"));
        t.prompts.answers = QStringList{earlier};
        t.action(export_)->trigger();
        t.prompts.messages.clear();
        t.prompts.filters.clear();
        t.select(1, 2);
        hold(t, c.control, c.before);
        QCOMPARE(t.window.windowTitle(), prefix + earlier);

        if (c.later != cancel)
            t.prompts.answers = QStringList{path};
        t.prompts.onDialog = [&] {
            QCOMPARE(t.prompts.shown(), QStringList{notice});
            if (!c.later.isNull() && c.later != cancel)
                hold(t, c.control, c.later);
        };
        t.action(c.control)->trigger();
        QCOMPARE(t.prompts.shown(), c.shown);
        QCOMPARE(t.prompts.filters.size(), c.shown.first() == notice ? 1 : 0);
        QCOMPARE(fileBytes(path), c.bytes);
        QCOMPARE(QDir(dir.path({})).entryList(QDir::Files), QStringList({"earlier", "out"}));
        QCOMPARE(t.window.windowTitle(),
                 QString(c.caption).replace("<out>", path).replace("<earlier>", earlier));
        if (c.control == clipboardSave) {
            QCOMPARE(t.memo().wholeText(), QStringLiteral("memo"));
            QCOMPARE(t.memo().selectedText(), QStringLiteral("em"));
        }
    }

    // Ctrl+R empties the memo and returns to Normal mode; it writes no memo store, and Ctrl+Z
    // brings the memo back.
    void editResetEmptiesTheMemoAndReturnsToNormal()
    {
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        QVERIFY(writeBytes(dir.path(memostore::fileName), "stored\r\n"));
        t.setMemo(QStringLiteral("abc\r\ndef"), 2, 3);
        t.prompts.answers = QStringList{dir.path(QStringLiteral("out.TXT"))};
        t.action(export_)->trigger();
        QTest::keyClick(&t.memo(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QString());
        QCOMPARE(t.window.windowTitle(), normalCaption);
        QCOMPARE(fileBytes(dir.path(memostore::fileName)), QByteArray("stored\r\n"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abc\r\ndef"));
        QCOMPARE(t.window.windowTitle(), normalCaption);
    }
};

QTEST_MAIN(TestTextExport)
#include "tst_textexport.moc"
