#include "app/memostore.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"

#include <QFileInfo>

using namespace pennoro;

namespace {

const QString normalCaption = QStringLiteral("Pennoro Ver 2.0 - Normal");
const QString prefix = QStringLiteral("Pennoro Ver 2.0 - ");

// The main window in a fresh current directory, the export run from its menu.
struct ExportRun {
    InTempDir dir;
    TestWindow t;

    QString path(const QString& name) const { return dir.path(name); }

    // The dialog answers with this path; none: it is cancelled.
    void exportTo(const QString& path = {})
    {
        if (!path.isEmpty())
            t.prompts.answers.append(path);
        t.action(QStringLiteral("mnuFC"))->trigger();
    }
};

} // namespace

class TestMemoryMenu : public QObject {
    Q_OBJECT

private slots:
    void exportWritesTheMemoAndShowsThePath_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("abc") << "abc" << QByteArray("\x61\x62\x63\x0D\x0A");
        QTest::newRow("ends with a line end") << "abc\r\n" << QByteArray("abc\r\n\r\n");
        QTest::newRow("line ends only") << "\r\n" << QByteArray("\r\n\r\n");
        QTest::newRow("a space") << " " << QByteArray(" \r\n");
        QTest::newRow("code page 932") << "ｱ\u2460" << QByteArray("\xB1\x87\x40\r\n");
    }

    void exportWritesTheMemoAndShowsThePath()
    {
        QFETCH(QString, memo);
        QFETCH(QByteArray, bytes);
        ExportRun run;
        TestWindow& t = run.t;
        t.setMemo(memo);
        const QString path = run.path(QStringLiteral("out.TXT"));
        t.prompts.onDialog = [&] { QCOMPARE(t.prompts.messages.size(), 1); };
        run.exportTo(path);
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(t.window.windowTitle(), prefix + path);
        QCOMPARE(t.prompts.filters, QStringList{QStringLiteral("ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT")});
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].text,
                 QStringLiteral("ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!"));
        QCOMPARE(t.prompts.messages[0].title, QStringLiteral("Pennoro"));
        QCOMPARE(t.prompts.messages[0].icon, Prompts::Icon::None);
        QCOMPARE(t.memo().wholeText(), memo);
        QVERIFY(t.memo().hasFocus());
        QVERIFY(!QFileInfo::exists(run.path(QStringLiteral("Data.pnr"))));
    }

    // The memo written is the memo when the dialog closed; a typed name gets no extension.
    void exportReadsTheMemoAfterTheDialog()
    {
        ExportRun run;
        run.t.setMemo(QStringLiteral("before"));
        run.t.prompts.onDialog = [&] { run.t.memo().setWholeText(QStringLiteral("after")); };
        run.exportTo(run.path(QStringLiteral("noext")));
        QCOMPARE(fileBytes(run.path(QStringLiteral("noext"))), QByteArray("after\r\n"));
        QCOMPARE(QDir(run.path(QString())).entryList(QDir::Files), QStringList{"noext"});
    }

    void exportCancelledLeavesThePrefixAloneAndWritesNothing()
    {
        ExportRun run;
        run.t.setMemo(QStringLiteral("first"));
        const QString path = run.path(QStringLiteral("out.TXT"));
        run.exportTo(path);
        run.t.memo().setWholeText(QStringLiteral("second"));
        QCOMPARE(run.t.window.windowTitle(), prefix + path); // the caption does not track edits
        run.exportTo();
        QCOMPARE(run.t.prompts.filters.size(), 2);
        QCOMPARE(run.t.window.windowTitle(), prefix);
        QCOMPARE(fileBytes(path), QByteArray("first\r\n"));
    }

    void exportOfTheEmptyMemoWarnsAndReturnsToNormal()
    {
        ExportRun run;
        TestWindow& t = run.t;
        t.setMemo(QStringLiteral("x"));
        run.exportTo(run.path(QStringLiteral("out.TXT")));
        QVERIFY(t.window.windowTitle() != normalCaption);

        t.setMemo(QString());
        run.exportTo();
        QCOMPARE(t.prompts.filters.size(), 1); // no second dialog
        QCOMPARE(t.prompts.messages.size(), 2);
        QCOMPARE(t.prompts.messages[1].text, QStringLiteral("ﾌｧｲﾙに保存するﾃﾞｰﾀが見つかりません。"));
        QCOMPARE(t.prompts.messages[1].title, QStringLiteral("保存"));
        QCOMPARE(t.prompts.messages[1].icon, Prompts::Icon::Warning);
        QCOMPARE(t.window.windowTitle(), normalCaption);
    }

    // A file that cannot be written is reported; the caption, the memo and an earlier file
    // under that name stay as they were.
    void exportThatCannotWriteChangesNothing()
    {
        ExportRun run;
        TestWindow& t = run.t;
        t.setMemo(QStringLiteral("abc"), 1, 1);
        const QString good = run.path(QStringLiteral("good.TXT"));
        const QString bad = run.path(QStringLiteral("good.TXT/out.TXT"));
        run.exportTo(good);
        for (const QString& failing : {bad, run.path(QString())}) {
            run.exportTo(failing);
            QCOMPARE(t.prompts.messages.last().title, QStringLiteral("Pennoro"));
            QCOMPARE(t.prompts.messages.last().icon, Prompts::Icon::Critical);
            QCOMPARE(t.window.windowTitle(), prefix + good);
        }
        QVERIFY(t.prompts.messages[2].text.contains(QDir::toNativeSeparators(bad)));
        QCOMPARE(fileBytes(good), QByteArray("abc\r\n"));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abc"));
        QCOMPARE(t.memo().selectedText(), QStringLiteral("b"));
        QVERIFY(t.memo().isEnabled() && t.window.isEnabled() && t.memo().hasFocus());
    }

    // Ctrl+R empties the memo and returns to Normal mode; it writes no memo store, and Ctrl+Z
    // brings the memo back.
    void editResetEmptiesTheMemoAndReturnsToNormal()
    {
        ExportRun run;
        TestWindow& t = run.t;
        QVERIFY(writeBytes(run.path(memostore::fileName), "stored\r\n"));
        t.setMemo(QStringLiteral("abc\r\ndef"), 2, 3);
        run.exportTo(run.path(QStringLiteral("out.TXT")));
        QTest::keyClick(&t.memo(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QString());
        QCOMPARE(t.window.windowTitle(), normalCaption);
        QVERIFY(t.memo().hasFocus());
        QVERIFY(t.action(QStringLiteral("mnuFC"))->isEnabled());
        QCOMPARE(fileBytes(run.path(memostore::fileName)), QByteArray("stored\r\n"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abc\r\ndef"));
        QCOMPARE(t.window.windowTitle(), normalCaption);
    }
};

QTEST_MAIN(TestMemoryMenu)
#include "tst_memorymenu.moc"
