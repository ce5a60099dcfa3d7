#include "edit/edittexts.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"

#include <QFileInfo>

using namespace pennoro;

namespace {

const QString noticeText = QStringLiteral("ﾃｷｽﾄﾌｧｲﾙに出力します。出力時に上書きﾁｪｯｸはされません!!");
const QString filter = QStringLiteral("ﾉｰﾏﾙﾃｷｽﾄﾌｧｲﾙ(*.TXT)|*.TXT");

// The clipboard save runs with the memo "memo" (part selected) in the Normal caption; whatever
// it does, these three stay.
struct SaveRun {
    TestWindow t;

    SaveRun() { t.setMemo(QStringLiteral("memo"), 1, 2); }

    void save() { t.action(QStringLiteral("mnuFCS"))->trigger(); }

    bool windowUntouched()
    {
        return t.window.windowTitle() == QStringLiteral("Pennoro Ver 2.0 - Normal") &&
               t.memo().wholeText() == QStringLiteral("memo") &&
               t.memo().selectedText() == QStringLiteral("em") && t.memo().hasFocus() &&
               !t.memo().document()->isUndoAvailable();
    }
};

} // namespace

class TestClipboardMenu : public QObject {
    Q_OBJECT

private slots:
    void f4ClearsTheClipboardOnly()
    {
        TestWindow t;
        t.clipboard.content = QStringLiteral("held");
        t.setMemo(QStringLiteral("memo"), 1, 2);
        QTest::keyClick(&t.memo(), Qt::Key_F4);
        QCOMPARE(t.clipboard.log, QStringList({"clear"}));
        QCOMPARE(t.clipboard.content, std::nullopt);
        QCOMPARE(t.memo().selectedText(), QStringLiteral("em"));
        QVERIFY(t.prompts.messages.isEmpty());

        t.clipboard.failing = true;
        QTest::keyClick(&t.memo(), Qt::Key_F4);
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].text, edittexts::clipboardWriteFailed);
        QCOMPARE(t.prompts.messages[0].icon, Prompts::Icon::Critical);
    }

    void saveWritesTheTextAndOneLineEnd_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("abc") << "abc" << QByteArray("abc\r\n");
        QTest::newRow("ends with a line end") << "abc\r\n" << QByteArray("abc\r\n\r\n");
        QTest::newRow("lines") << "a\r\n\r\nb" << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("code page 932") << "あ\U0001F600" << QByteArray("\x82\xA0&#128512;\r\n");
    }

    void saveWritesTheTextAndOneLineEnd()
    {
        QFETCH(QString, clipboard);
        QFETCH(QByteArray, bytes);
        InTempDir dir;
        SaveRun run;
        run.t.clipboard.content = clipboard;
        const QString path = dir.path(QStringLiteral("clip.TXT"));
        run.t.prompts.answers = QStringList{path};
        run.t.prompts.onDialog = [&] {
            // The notice came first, and the dialog opened with the text file filter.
            QCOMPARE(run.t.prompts.messages.size(), 1);
        };
        run.save();
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(run.t.prompts.filters, QStringList{filter});
        QCOMPARE(run.t.prompts.messages.size(), 1);
        QCOMPARE(run.t.prompts.messages[0].text, noticeText);
        QCOMPARE(run.t.prompts.messages[0].title, QStringLiteral("Pennoro"));
        QCOMPARE(run.t.prompts.messages[0].icon, Prompts::Icon::None);
        QCOMPARE(run.t.clipboard.log, QStringList({"get", "get"}));
        QVERIFY(run.windowUntouched());
    }

    void saveOfAClipboardWithoutTextWarnsAndShowsNoDialog()
    {
        SaveRun run;
        run.save();
        QCOMPARE(run.t.prompts.filters, QStringList());
        QCOMPARE(run.t.prompts.messages.size(), 1);
        QCOMPARE(run.t.prompts.messages[0].text,
                 QStringLiteral("現在ｸﾘｯﾌﾟﾎﾞｰﾄﾞにﾃｷｽﾄﾃﾞｰﾀはありません。"));
        QCOMPARE(run.t.prompts.messages[0].title, QStringLiteral("Pennoro"));
        QCOMPARE(run.t.prompts.messages[0].icon, Prompts::Icon::Warning);
        QVERIFY(run.windowUntouched());
    }

    // What is saved is the clipboard's text after the dialog, even when another program
    // emptied the clipboard meanwhile.
    void saveReadsTheClipboardAgainAfterTheDialog()
    {
        InTempDir dir;
        for (const std::optional<QString>& later : {std::optional<QString>(QStringLiteral("new")),
                                                    std::optional<QString>()}) {
            SaveRun run;
            run.t.clipboard.content = QStringLiteral("old");
            const QString path = dir.path(QStringLiteral("clip"));
            run.t.prompts.answers = QStringList{path};
            run.t.prompts.onDialog = [&] { run.t.clipboard.content = later; };
            run.save();
            QCOMPARE(fileBytes(path), later.value_or(QString()).toLatin1() + "\r\n");
            QVERIFY(!QFileInfo::exists(path + QStringLiteral(".TXT")));
        }
    }

    void saveCancelledWritesNothing()
    {
        InTempDir dir;
        SaveRun run;
        run.t.clipboard.content = QStringLiteral("abc");
        run.save();
        QCOMPARE(run.t.prompts.filters.size(), 1);
        QCOMPARE(run.t.prompts.messages.size(), 1); // the notice only
        QCOMPARE(run.t.clipboard.log, QStringList({"get"}));
        QVERIFY(QDir(dir.path(QString())).isEmpty());
        QVERIFY(run.windowUntouched());
    }

    void saveThatCannotWriteReportsAndKeepsTheFile()
    {
        InTempDir dir;
        SaveRun run;
        run.t.clipboard.content = QStringLiteral("abc");
        QVERIFY(writeBytes(dir.path(QStringLiteral("file")), "before"));
        // A folder cannot be created below a plain file, even by the administrator.
        const QString path = dir.path(QStringLiteral("file/clip.TXT"));
        run.t.prompts.answers = QStringList{path};
        run.save();
        QCOMPARE(run.t.prompts.messages.size(), 2);
        QCOMPARE(run.t.prompts.messages[1].title, QStringLiteral("Pennoro"));
        QCOMPARE(run.t.prompts.messages[1].icon, Prompts::Icon::Critical);
        QVERIFY(run.t.prompts.messages[1].text.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(fileBytes(dir.path(QStringLiteral("file"))), QByteArray("before"));
        QVERIFY(run.windowUntouched());
    }

    void saveWithAClipboardThatCannotBeReadReportsAndWritesNothing()
    {
        InTempDir dir;
        const QString path = dir.path(QStringLiteral("clip.TXT"));
        QVERIFY(writeBytes(path, "before"));
        for (bool failsFirst : {true, false}) {
            SaveRun run;
            run.t.clipboard.content = QStringLiteral("abc");
            run.t.clipboard.failing = failsFirst;
            run.t.prompts.answers = QStringList{path};
            run.t.prompts.onDialog = [&] { run.t.clipboard.failing = true; };
            run.save();
            QCOMPARE(run.t.prompts.filters.size(), failsFirst ? 0 : 1);
            QCOMPARE(run.t.prompts.messages.last().text, edittexts::clipboardReadFailed);
            QCOMPARE(run.t.prompts.messages.last().icon, Prompts::Icon::Critical);
            QCOMPARE(fileBytes(path), QByteArray("before"));
            QVERIFY(run.windowUntouched());
        }
    }
};

QTEST_MAIN(TestClipboardMenu)
#include "tst_clipboardmenu.moc"
