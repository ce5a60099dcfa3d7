// The memo on its own: its text in the program's CR LF form, a selection replaced, the tag
// commands' surround, and undo that brings the selection back. (Setting the whole text, which the
// program does only to empty the memo, is the Edit menu's test.)

#include "fakes/testwindow.h"

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

enum class Edit { SetSelected, Surround };

// "start+length" of the selection, caret last.
QString selection(const MemoEdit& memo)
{
    const QTextCursor cursor = memo.textCursor();
    return u"%1+%2"_s.arg(cursor.anchor()).arg(cursor.position() - cursor.anchor());
}

} // namespace

class TestMemoEdit : public QObject {
    Q_OBJECT

private slots:
    void edits_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("text");  // the new text, or "before|after" for a surround
        QTest::addColumn<QString>("after"); // the whole memo afterwards
        QTest::addColumn<QString>("caret"); // the selection afterwards, "anchor+length"

        QTest::newRow("nothing selected: inserted at the caret")
            << u"abc"_s << 3 << 0 << Edit::SetSelected << u"!"_s << u"abc!"_s << u"4+0"_s;
        QTest::newRow("no-break spaces kept")
            << u"a b"_s << 1 << 1 << Edit::SetSelected << u"\u00A0\u00A0"_s << u"a\u00A0\u00A0b"_s
            << u"3+0"_s;
        QTest::newRow("surround a selection over lines")
            << u"ab\r\ncd"_s << 1 << 3 << Edit::Surround << u"<B>|</B>"_s << u"a<B>b\r\nc</B>d"_s
            << u"11+0"_s;
        QTest::newRow("surround nothing")
            << u"ab"_s << 1 << 0 << Edit::Surround << u"<I>|</I>"_s << u"a<I></I>b"_s << u"8+0"_s;
        QTest::newRow("surround a backwards selection")
            << u"abc"_s << 3 << -2 << Edit::Surround << u"[|]"_s << u"a[bc]"_s << u"5+0"_s;
    }

    // Each edit is one undo step, and undo brings the text and the selection back.
    void edits()
    {
        QFETCH(QString, memo);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(Edit, edit);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QFETCH(QString, caret);

        MemoEdit m;
        m.loadText(memo);
        QVERIFY(!m.document()->isUndoAvailable());
        selectRange(m, start, length);
        const QString before = selection(m);
        if (edit == Edit::Surround)
            m.surroundSelection(text.section(u'|', 0, 0), text.section(u'|', 1));
        else
            m.setSelectedText(text);
        QCOMPARE(m.wholeText(), after);
        QCOMPARE(selection(m), caret);
        m.undoWithSelection();
        QCOMPARE(m.wholeText(), memo);
        QCOMPARE(selection(m), before);
        QVERIFY(!m.document()->isUndoAvailable());
    }

    // A load takes CR LF, CR and LF each as one line end, with the caret at the start. The widget's
    // own paragraph and line separators read as CR LF, in the whole text and the selection alike.
    void lineEnds()
    {
        MemoEdit m;
        m.loadText(u"one\r\ntwo\rthree\nfour"_s);
        QCOMPARE(m.blockCount(), 4);
        QCOMPARE(selection(m), u"0+0"_s);
        QTextCursor cursor(m.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(u"\u2028five"_s);
        const QString whole = u"one\r\ntwo\r\nthree\r\nfour\r\nfive"_s;
        QCOMPARE(m.wholeText(), whole);
        selectRange(m, 2, 5);
        QCOMPARE(m.selectedText(), u"e\r\ntwo"_s);

        m.setSelectedText(u"X"_s);
        QCOMPARE(m.wholeText(), u"onX\r\nthree\r\nfour\r\nfive"_s);
        m.undoWithSelection();
        QCOMPARE(m.wholeText(), whole);
        QCOMPARE(selection(m), u"2+5"_s);
    }
};

QTEST_MAIN(TestMemoEdit)
#include "tst_memoedit.moc"
