// The two commands that write a text file the user names: the Memory menu's export writes the memo,
// the Clipboard menu's save the clipboard's text.

#include "common/texts.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "memo/memostore.h"

using namespace pennoro;

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

} // namespace

class TestTextExport : public QObject {
    Q_OBJECT

private slots:
    void writes_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("later"); // once the dialog is open; null: as before
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("caption"); // "<out>", "<earlier>": the path of that file
        const QString readFailed = "Pennoro, critical: " + texts::clipboardReadFailed;
        const QString noData =
            QStringLiteral("保存, warning: ﾌｧｲﾙに保存するﾃﾞｰﾀが見つかりません。");
        const QString noClipboardText =
            QStringLiteral("Pennoro, warning: 現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。");
        const QByteArray before("before");
        const QString shownOut = prefix + "<out>";
        const QString earlier = prefix + "<earlier>";

        QTest::newRow("export, code page 932, one line end added")
            << export_ << "before"
            << "ｱ\u2460\r\n"
            << QStringList{notice} << QByteArray("\xB1\x87\x40\r\n\r\n") << shownOut;
        // Only the completely empty memo counts as empty.
        QTest::newRow("export, line ends only")
            << export_ << "\r\n"
            << QString() << QStringList{notice} << QByteArray("\r\n\r\n") << shownOut;
        QTest::newRow("export, a space") << export_ << " " << QString() << QStringList{notice}
                                         << QByteArray(" \r\n") << shownOut;
        QTest::newRow("export, cancelled")
            << export_ << "abc" << cancel << QStringList{notice} << before << prefix;
        QTest::newRow("export, empty memo")
            << export_ << "" << QString() << QStringList{noData} << before << normalCaption;
        QTest::newRow("clipboard save, code page 932, one line end added")
            << clipboardSave << "old"
            << "a\r\nあ\U0001F600\r\n"
            << QStringList{notice} << QByteArray("a\r\n\x82\xA0&#128512;\r\n\r\n") << earlier;
        QTest::newRow("clipboard save, emptied by another program")
            << clipboardSave << "old" << noText << QStringList{notice} << QByteArray("\r\n")
            << earlier;
        QTest::newRow("clipboard save, cancelled")
            << clipboardSave << "abc" << cancel << QStringList{notice} << before << earlier;
        QTest::newRow("clipboard save, no text")
            << clipboardSave << noText << QString() << QStringList{noClipboardText} << before
            << earlier;
        QTest::newRow("clipboard save, unreadable") << clipboardSave << unreadable << QString()
                                                    << QStringList{readFailed} << before << earlier;
        QTest::newRow("clipboard save, unreadable after the dialog")
            << clipboardSave << "abc" << unreadable << QStringList{notice, readFailed} << before
            << earlier;
    }

    // Only a command with text to write shows the notice, then the dialog. It writes the text there
    // is when the dialog closes, with one line end added, into the file as named (here "out", over
    // an earlier one). The caption shows the last export, edits or not; a cancelled export leaves
    // the prefix alone, the empty memo goes back to Normal. The clipboard save leaves the window
    // as it was.
    void writes()
    {
        QFETCH(QString, control);
        QFETCH(QString, before);
        QFETCH(QString, later);
        QFETCH(QStringList, shown);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, caption);
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
        hold(t, control, before);
        QCOMPARE(t.window.windowTitle(), prefix + earlier);

        if (later != cancel)
            t.prompts.answers = QStringList{path};
        t.prompts.onDialog = [&] {
            QCOMPARE(t.prompts.shown(), QStringList{notice});
            if (!later.isNull() && later != cancel)
                hold(t, control, later);
        };
        t.action(control)->trigger();
        QCOMPARE(t.prompts.shown(), shown);
        QCOMPARE(t.prompts.filters.size(), shown.first() == notice ? 1 : 0);
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(QDir(dir.path({})).entryList(QDir::Files), QStringList({"earlier", "out"}));
        QCOMPARE(t.window.windowTitle(),
                 QString(caption).replace("<out>", path).replace("<earlier>", earlier));
        if (control == clipboardSave) {
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
