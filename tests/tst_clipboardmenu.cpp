#include "common/texts.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"

using namespace pennoro;

namespace {

const QString noText = QStringLiteral("<no text>");
const QString unreadable = QStringLiteral("<unreadable>");
const QString cancel = QStringLiteral("<cancel>");
const QString notice = "Pennoro, no icon: " + texts::outputNotice;

// Gives the clipboard this text, no text, or makes it unreadable.
void hold(FakeClipboard& clipboard, const QString& text)
{
    if (text == unreadable)
        clipboard.failingAccesses = QStringList{"get"};
    else
        clipboard.content = text == noText ? std::nullopt : std::optional(text);
}

} // namespace

class TestClipboardMenu : public QObject {
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<QString>("clipboard");
        // What the clipboard holds once the dialog is open, or the dialog is cancelled.
        QTest::addColumn<QString>("later");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QByteArray>("bytes");
        const QString readFailed = "Pennoro, critical: " + texts::clipboardReadFailed;
        const QString warning =
            QStringLiteral("Pennoro, warning: 現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。");
        const QByteArray before("before");
        QTest::newRow("code page 932, one line end added")
            << "old"
            << "a\r\nあ\U0001F600\r\n"
            << QStringList{notice} << QByteArray("a\r\n\x82\xA0&#128512;\r\n\r\n");
        QTest::newRow("emptied by another program")
            << "old" << noText << QStringList{notice} << QByteArray("\r\n");
        QTest::newRow("cancelled") << "abc" << cancel << QStringList{notice} << before;
        QTest::newRow("no text") << noText << "" << QStringList{warning} << before;
        QTest::newRow("unreadable") << unreadable << "" << QStringList{readFailed} << before;
        QTest::newRow("unreadable after the dialog")
            << "abc" << unreadable << QStringList{notice, readFailed} << before;
    }

    // What is saved is the text the clipboard holds after the dialog, with one line end added,
    // into the file as named (here "clip", over an earlier one). Only a clipboard with text gets
    // the notice and then the dialog. The window stays as it was.
    void save()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, later);
        QFETCH(QStringList, shown);
        QFETCH(QByteArray, bytes);
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        const QString path = dir.path(QStringLiteral("clip"));
        QVERIFY(writeBytes(path, "before"));
        hold(t.clipboard, clipboard);
        t.setMemo(QStringLiteral("memo"), 1, 2);
        if (later != cancel)
            t.prompts.answers = QStringList{path};
        t.prompts.onDialog = [&] {
            QCOMPARE(t.prompts.messages.size(), 1); // the notice came first
            hold(t.clipboard, later);
        };
        t.action(QStringLiteral("mnuFCS"))->trigger();
        QCOMPARE(t.prompts.shown(), shown);
        QCOMPARE(t.prompts.filters,
                 shown.first() == notice ? QStringList{texts::textFileFilter} : QStringList());
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(QDir(dir.path({})).entryList(QDir::Files), QStringList{"clip"});
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("memo"));
        QCOMPARE(t.memo().selectedText(), QStringLiteral("em"));
    }
};

QTEST_MAIN(TestClipboardMenu)
#include "tst_clipboardmenu.moc"
