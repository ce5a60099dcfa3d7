#include "edit/editcommands.h"
#include "edit/edittexts.h"
#include "fakes/testwindow.h"

using namespace pennoro;

class TestEditCommands : public QObject {
    Q_OBJECT

private slots:
    void cutPutsTheSelectionOnTheClipboardAndThenDeletesIt()
    {
        TestWindow t;
        t.clipboard.content = QStringLiteral("earlier");
        t.setMemo(QStringLiteral("abc\r\ndef"), 2, 3); // "c", line end, "d"
        edit::cut(t.memo(), t.clipboard, t.prompts);
        QCOMPARE(t.clipboard.log, QStringList({"clear", "set"}));
        QCOMPARE(t.clipboard.content, QStringLiteral("c\r\nd"));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abef"));
        QCOMPARE(t.caret(), 2);
        QVERIFY(!t.hasSelection());
        t.memo().undo();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abc\r\ndef"));
        QVERIFY(t.prompts.messages.isEmpty());
    }

    // Nothing selected: the clipboard's earlier text is gone, it holds the empty text.
    void copyAndCutWithNothingSelectedEmptyTheClipboard()
    {
        for (auto command : {&edit::copy, &edit::cut}) {
            TestWindow t;
            t.clipboard.content = QStringLiteral("earlier");
            t.setMemo(QStringLiteral("abc"), 1);
            command(t.memo(), t.clipboard, t.prompts);
            QCOMPARE(t.clipboard.content, QString(""));
            QCOMPARE(t.memo().wholeText(), QStringLiteral("abc"));
            QCOMPARE(t.caret(), 1);
            QVERIFY(!t.memo().document()->isUndoAvailable());
        }
    }

    // Copy takes the selection, copy all the whole memo; neither changes the memo or its
    // selection.
    void copiesLeaveTheMemoAndTheSelection_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("copied");
        QTest::newRow("copy") << "mnuEC" << "abc\r\ndef\r\n" << "bc\r\nd";
        QTest::newRow("copy all") << "mnuACC" << "abc\r\ndef\r\n" << "abc\r\ndef\r\n";
        QTest::newRow("copy all, empty memo") << "mnuACC" << "" << "";
    }

    void copiesLeaveTheMemoAndTheSelection()
    {
        QFETCH(QString, control);
        QFETCH(QString, memo);
        QFETCH(QString, copied);
        TestWindow t;
        t.clipboard.content = QStringLiteral("earlier");
        t.setMemo(memo, 1, memo.isEmpty() ? 0 : 4);
        const QString selected = t.memo().selectedText();
        t.action(control)->trigger();
        QCOMPARE(t.clipboard.log, QStringList({"clear", "set"}));
        QCOMPARE(t.clipboard.content, copied);
        QCOMPARE(t.memo().wholeText(), memo);
        QCOMPARE(t.memo().selectedText(), selected);
    }

    void pasteReplacesTheSelectionAsOneUndoStep()
    {
        TestWindow t;
        t.clipboard.content = QStringLiteral("x\r\ny\r\n");
        t.setMemo(QStringLiteral("abcd"), 1, 2);
        edit::paste(t.memo(), t.clipboard, t.prompts);
        QCOMPARE(t.clipboard.log, QStringList({"get"}));
        QCOMPARE(t.clipboard.content, QStringLiteral("x\r\ny\r\n"));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("ax\r\ny\r\nd"));
        QCOMPARE(t.caret(), 5);
        QVERIFY(!t.hasSelection());
        t.memo().undo();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abcd"));
    }

    // A clipboard without text (empty, or a picture only) deletes the selection.
    void pasteOfNoTextDeletesTheSelection()
    {
        TestWindow t;
        t.setMemo(QStringLiteral("abcd"), 1, 2);
        edit::paste(t.memo(), t.clipboard, t.prompts);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("ad"));
        QCOMPARE(t.caret(), 1);
        t.setMemo(QStringLiteral("abcd"), 2);
        edit::paste(t.memo(), t.clipboard, t.prompts);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("abcd"));
    }

    void clearAndClearAllLeaveTheClipboardAlone()
    {
        TestWindow t;
        t.clipboard.content = QStringLiteral("held");
        t.setMemo(QStringLiteral("abc\r\ndef"), 1, 4);
        edit::clear(t.memo());
        QCOMPARE(t.memo().wholeText(), QStringLiteral("aef"));
        QCOMPARE(t.caret(), 1);
        edit::clearAll(t.memo());
        QCOMPARE(t.memo().wholeText(), QString());
        QCOMPARE(t.caret(), 0);
        t.memo().undo();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("aef"));
        QVERIFY(t.clipboard.log.isEmpty());
        QCOMPARE(t.clipboard.content, QStringLiteral("held"));
    }

    // A clipboard that cannot be written or read is reported, and the memo stays as it was; in
    // particular cut deletes nothing.
    void clipboardFailuresLeaveTheMemo_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("log");
        const QStringList clear{"clear"}, set{"set"}, get{"get"}, clearSet{"clear", "set"};
        const QString& writeFailed = edittexts::clipboardWriteFailed;
        QTest::newRow("cut, clear fails") << "mnuET" << clear << writeFailed << clear;
        QTest::newRow("cut, set fails") << "mnuET" << set << writeFailed << clearSet;
        QTest::newRow("copy") << "mnuEC" << set << writeFailed << clearSet;
        QTest::newRow("copy all") << "mnuACC" << clear << writeFailed << clear;
        QTest::newRow("paste") << "mnuEP" << get << edittexts::clipboardReadFailed << get;
    }

    void clipboardFailuresLeaveTheMemo()
    {
        QFETCH(QString, control);
        QFETCH(QStringList, failing);
        QFETCH(QString, report);
        QFETCH(QStringList, log);
        TestWindow t;
        t.clipboard.failingAccesses = failing;
        t.setMemo(QStringLiteral("keep this"), 5, 4);
        t.action(control)->trigger();
        QCOMPARE(t.clipboard.log, log);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("keep this"));
        QCOMPARE(t.memo().selectedText(), QStringLiteral("this"));
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].text, report);
        QCOMPARE(t.prompts.messages[0].title, QStringLiteral("Pennoro"));
        QCOMPARE(t.prompts.messages[0].icon, Prompts::Icon::Critical);
        QVERIFY(!t.memo().document()->isUndoAvailable());
    }

    // The keys typed in the memo and the labels run the Edit menu's commands, not the text
    // box's own, and the focus stays in the memo.
    void keysAndLabelsRunTheCommands()
    {
        TestWindow t;
        t.clipboard.content = QStringLiteral("held");
        t.setMemo(QStringLiteral("abcdef"), 1, 2);
        QTest::keyClick(&t.memo(), Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("adef"));
        QCOMPARE(t.clipboard.content, QStringLiteral("held")); // a clear, not a cut

        t.select(1, 1);
        QTest::keyClick(&t.memo(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(t.clipboard.content, QStringLiteral("d"));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("aef"));

        t.select(2, 1);
        QTest::keyClick(&t.memo(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(t.clipboard.content, QStringLiteral("f"));

        t.select(0, 0);
        QTest::keyClick(&t.memo(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("faef"));

        t.select(1, 1);
        QTest::keyClick(&t.memo(), Qt::Key_F5);
        QCOMPARE(t.clipboard.content, QStringLiteral("faef"));
        QCOMPARE(t.memo().selectedText(), QStringLiteral("a"));

        QTest::keyClick(&t.memo(), Qt::Key_F3);
        QCOMPARE(t.memo().wholeText(), QString());
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("faef"));

        t.clipboard.content = QStringLiteral("via label");
        QTest::mouseClick(t.window.findChild<QWidget*>(QStringLiteral("btCLC")), Qt::LeftButton);
        QCOMPARE(t.clipboard.content, QStringLiteral("faef"));
        QTest::mouseClick(t.window.findChild<QWidget*>(QStringLiteral("btCLR")), Qt::LeftButton);
        QCOMPARE(t.memo().wholeText(), QString());
        QVERIFY(t.memo().hasFocus());
        QVERIFY(t.prompts.messages.isEmpty());
    }

    void pasteIsUndoneByCtrlZ()
    {
        TestWindow t;
        t.clipboard.content = QStringLiteral("one\r\ntwo");
        t.setMemo(QStringLiteral("[]"), 1);
        QTest::keyClick(&t.memo(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("[one\r\ntwo]"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("[]"));
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
