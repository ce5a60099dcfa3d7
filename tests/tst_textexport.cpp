// The two commands that write a text file the user names: the Memory menu's export writes the memo,
// the Clipboard menu's save the clipboard's text.

#include "common/texts.h"
#include "fakes/rows.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "memo/memostore.h"

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

} // namespace

class TestTextExport : public QObject {
    Q_OBJECT

private slots:
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
