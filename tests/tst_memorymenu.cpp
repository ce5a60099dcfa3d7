#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "memo/memostore.h"

using namespace pennoro;

namespace {

const QString normalCaption = QStringLiteral("Pennoro Ver 2.0 - Normal");
const QString prefix = QStringLiteral("Pennoro Ver 2.0 - ");

// The export from its menu item; the dialog answers with the path, or is cancelled without one.
void exportTo(TestWindow& t, const QString& path = {})
{
    if (!path.isEmpty())
        t.prompts.answers.append(path);
    t.action(QStringLiteral("mnuFC"))->trigger();
}

} // namespace

class TestMemoryMenu : public QObject {
    Q_OBJECT

private slots:
    void exportWritesTheMemoAsTheDialogLeavesIt_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("edited"); // while the dialog is open; null: not edited
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("code page 932, one line end added") << "before"
                                                           << "ｱ\u2460\r\n"
                                                           << QByteArray("\xB1\x87\x40\r\n\r\n");
        // Only the completely empty memo counts as empty.
        QTest::newRow("line ends only") << "\r\n" << QString() << QByteArray("\r\n\r\n");
        QTest::newRow("a space") << " " << QString() << QByteArray(" \r\n");
    }

    // The notice comes first, then the dialog; the memo written is the memo when the dialog
    // closed, the name is used as typed, and the caption shows the path.
    void exportWritesTheMemoAsTheDialogLeavesIt()
    {
        QFETCH(QString, memo);
        QFETCH(QString, edited);
        QFETCH(QByteArray, bytes);
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        t.setMemo(memo);
        t.prompts.onDialog = [&] {
            QCOMPARE(
                t.prompts.shown(),
                QStringList{
                    "Pennoro, no icon: ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!"});
            if (!edited.isNull())
                t.memo().setWholeText(edited);
        };
        const QString path = dir.path(QStringLiteral("out"));
        exportTo(t, path);
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(QDir(dir.path({})).entryList(QDir::Files), QStringList{"out"});
        QCOMPARE(t.prompts.filters, QStringList{QStringLiteral("ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT")});
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.window.windowTitle(), prefix + path);
    }

    // The caption shows the last export and does not follow edits; a cancelled export leaves the
    // prefix alone, the empty memo gets a warning instead of the dialog and returns to Normal.
    void captionFollowsTheExports()
    {
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        t.setMemo(QStringLiteral("first"));
        const QString path = dir.path(QStringLiteral("out.TXT"));
        exportTo(t, path);
        t.memo().setWholeText(QStringLiteral("second"));
        QCOMPARE(t.window.windowTitle(), prefix + path);
        exportTo(t);
        QCOMPARE(t.window.windowTitle(), prefix);
        QCOMPARE(fileBytes(path), QByteArray("first\r\n"));

        t.memo().setWholeText(QString());
        t.prompts.messages.clear();
        exportTo(t, path);
        QCOMPARE(t.prompts.shown(),
                 QStringList{"保存, warning: ﾌｧｲﾙに保存するﾃﾞｰﾀが見つかりません。"});
        QCOMPARE(t.prompts.filters.size(), 2); // no third dialog
        QCOMPARE(t.window.windowTitle(), normalCaption);
        QCOMPARE(fileBytes(path), QByteArray("first\r\n"));
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
        exportTo(t, dir.path(QStringLiteral("out.TXT")));
        QTest::keyClick(&t.memo(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QString());
        QCOMPARE(t.window.windowTitle(), normalCaption);
        QCOMPARE(fileBytes(dir.path(memostore::fileName)), QByteArray("stored\r\n"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abc\r\ndef"));
        QCOMPARE(t.window.windowTitle(), normalCaption);
    }
};

QTEST_MAIN(TestMemoryMenu)
#include "tst_memorymenu.moc"
