#include "common/texts.h"
#include "fakes/testwindow.h"

using namespace pennoro;
using namespace Qt::StringLiterals;

const QString noText = u"<no text>"_s; // a clipboard that holds no text

// The Edit menu's commands and the clipboard clear, run from their menu items.
class TestEditCommands : public QObject {
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("memoAfter");
        QTest::addColumn<QString>("clipboardAfter");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("caret");
        const QString m = u"abc\r\ndef"_s, e = u"earlier"_s;
        const QStringList clearSet{"clear", "set"}, get{"get"};
        QTest::newRow("cut") << u"mnuET"_s << m << 2 << 3 << e << u"abef"_s << u"c\r\nd"_s
                             << clearSet << 2;
        // Nothing selected: the earlier text goes, the clipboard holds the empty text.
        QTest::newRow("cut nothing")
            << u"mnuET"_s << m << 1 << 0 << e << m << u""_s << clearSet << 1;
        QTest::newRow("copy") << u"mnuEC"_s << m << 1 << 4 << e << m << u"bc\r\nd"_s << clearSet
                              << 5;
        QTest::newRow("copy nothing")
            << u"mnuEC"_s << m << 1 << 0 << e << m << u""_s << clearSet << 1;
        QTest::newRow("copy all") << u"mnuACC"_s << m << 1 << 4 << e << m << m << clearSet << 5;
        QTest::newRow("copy all, empty")
            << u"mnuACC"_s << u""_s << 0 << 0 << e << u""_s << u""_s << clearSet << 0;
        QTest::newRow("paste") << u"mnuEP"_s << u"abcd"_s << 1 << 2 << u"x\r\ny\r\n"_s
                               << u"ax\r\ny\r\nd"_s << u"x\r\ny\r\n"_s << get << 5;
        // A clipboard without text (empty, or a picture only) deletes the selection.
        QTest::newRow("paste no text")
            << u"mnuEP"_s << u"abcd"_s << 1 << 2 << noText << u"ad"_s << noText << get << 1;
        QTest::newRow("clear") << u"mnudc"_s << m << 1 << 4 << e << u"aef"_s << e << QStringList()
                               << 1;
        QTest::newRow("clear all")
            << u"mnuFN"_s << m << 1 << 4 << e << u""_s << e << QStringList() << 0;
        QTest::newRow("clear clipboard")
            << u"mnuFCD"_s << m << 1 << 4 << e << m << noText << QStringList{"clear"} << 5;
    }

    // A command that changes the memo leaves no selection and is undone by one Ctrl+Z, which
    // brings the selection back; one that does not keeps the selection and adds no undo step.
    void commands()
    {
        QFETCH(QString, control);
        QFETCH(QString, memo);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, clipboard);
        QFETCH(QString, memoAfter);
        QFETCH(QString, clipboardAfter);
        QFETCH(QStringList, log);
        QFETCH(int, caret);
        TestWindow t;
        QVERIFY(t.ready());
        if (clipboard != noText)
            t.clipboard.content = clipboard;
        t.setMemo(memo, start, length);
        const QString selected = t.memo().selectedText();
        t.action(control)->trigger();
        QCOMPARE(t.memo().wholeText(), memoAfter);
        QCOMPARE(t.clipboard.content.value_or(noText), clipboardAfter);
        QCOMPARE(t.clipboard.log, log);
        QCOMPARE(t.caret(), caret);
        QVERIFY(t.prompts.messages.isEmpty());
        if (memoAfter == memo) {
            QVERIFY(!t.memo().document()->isUndoAvailable());
        } else {
            QVERIFY(!t.hasSelection());
            QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(t.memo().wholeText(), memo);
        }
        QCOMPARE(t.memo().selectedText(), selected);
    }

    void clipboardFailuresLeaveTheMemo_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("log");
        const QStringList clear{"clear"}, set{"set"}, get{"get"}, clearSet{"clear", "set"};
        const QString& writeFailed = texts::clipboardWriteFailed;
        QTest::newRow("cut, clear fails") << "mnuET" << clear << writeFailed << clear;
        QTest::newRow("cut, set fails") << "mnuET" << set << writeFailed << clearSet;
        QTest::newRow("copy") << "mnuEC" << set << writeFailed << clearSet;
        QTest::newRow("copy all") << "mnuACC" << clear << writeFailed << clear;
        QTest::newRow("paste") << "mnuEP" << get << texts::clipboardReadFailed << get;
        QTest::newRow("clear clipboard") << "mnuFCD" << clear << writeFailed << clear;
    }

    // Reported, and the memo stays as it was: in particular cut deletes nothing.
    void clipboardFailuresLeaveTheMemo()
    {
        QFETCH(QString, control);
        QFETCH(QStringList, failing);
        QFETCH(QString, report);
        QFETCH(QStringList, log);
        TestWindow t;
        QVERIFY(t.ready());
        t.clipboard.failingAccesses = failing;
        t.setMemo(QStringLiteral("keep this"), 5, 4);
        t.action(control)->trigger();
        QCOMPARE(t.clipboard.log, log);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("keep this"));
        QCOMPARE(t.memo().selectedText(), QStringLiteral("this"));
        QCOMPARE(t.prompts.shown(), QStringList{"Pennoro, critical: " + report});
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
