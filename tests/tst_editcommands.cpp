#include "common/texts.h"
#include "fakes/rows.h"
#include "fakes/testwindow.h"

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

const QString noText = u"<no text>"_s; // a clipboard that holds no text
const QString m = u"abc\r\ndef"_s, e = u"earlier"_s, k = u"keep this"_s;
const QStringList clearSet{"clear", "set"}, get{"get"}, clear{"clear"}, set{"set"};

const struct {
    const char* name;
    const char* control;
    QString memo;
    int start;
    int length;
    QString clipboard;
    QString memoAfter;
    QString clipboardAfter;
    QStringList log;
    int caret;
    QStringList failing = {}; // these clipboard accesses fail
    QString report = {};      // then shown
} commands[] = {
    // clang-format off
    {"cut", "mnuET", m, 2, 3, e, u"abef"_s, u"c\r\nd"_s, clearSet, 2},
    // Nothing selected: the earlier text goes, the clipboard holds the empty text.
    {"cut nothing", "mnuET", m, 1, 0, e, m, u""_s, clearSet, 1},
    {"copy", "mnuEC", m, 1, 4, e, m, u"bc\r\nd"_s, clearSet, 5},
    {"copy nothing", "mnuEC", m, 1, 0, e, m, u""_s, clearSet, 1},
    {"copy all", "mnuACC", m, 1, 4, e, m, m, clearSet, 5},
    {"copy all, empty", "mnuACC", u""_s, 0, 0, e, u""_s, u""_s, clearSet, 0},
    {"paste", "mnuEP", u"abcd"_s, 1, 2, u"x\r\ny\r\n"_s, u"ax\r\ny\r\nd"_s, u"x\r\ny\r\n"_s, get,
     5},
    {"paste no-break spaces", "mnuEP", u"a b"_s, 1, 1, u"\u00A0\u00A0"_s, u"a\u00A0\u00A0b"_s,
     u"\u00A0\u00A0"_s, get, 3},
    // A clipboard without text (empty, or a picture only) deletes the selection.
    {"paste no text", "mnuEP", u"abcd"_s, 1, 2, noText, u"ad"_s, noText, get, 1},
    {"clear", "mnudc", m, 1, 4, e, u"aef"_s, e, {}, 1},
    {"clear all", "mnuFN", m, 1, 4, e, u""_s, e, {}, 0},
    {"clear clipboard", "mnuFCD", m, 1, 4, e, m, noText, clear, 5},
    // The tag commands in each way they put their text in place of the selection; a length
    // below 0 selects backwards.
    {"paired tag around a selection", "mnuTG6", u"x abc y"_s, 2, 3, e, u"x <B>abc</B> y"_s, e, {}, 12},
    {"paired tag, nothing selected", "mnuTG6", u"ab"_s, 1, 0, e, u"a<B></B>b"_s, e, {}, 8},
    {"paired tag over lines", "mnuTG6", u"ab\r\ncd"_s, 1, 3, e, u"a<B>b\r\nc</B>d"_s, e, {}, 11},
    {"paired tag, backwards", "mnuTG6", u"abcd"_s, 3, -2, e, u"a<B>bc</B>d"_s, e, {}, 10},
    {"link: the selection twice", "mnuTG2", u"x abc y"_s, 2, 3, e, u"x <A HREF=\"abc\">abc</A> y"_s, e, {}, 23},
    {"link, nothing selected", "mnuTG2", u"ab"_s, 1, 0, e, u"a<A HREF=\"\"></A>b"_s, e, {}, 16},
    {"link, special characters as they are", "mnuTG2", u"a\"<&>b"_s, 0, 6, e, u"<A HREF=\"a\"<&>b\">a\"<&>b</A>"_s, e, {}, 27},
    {"single tag replaces a selection", "mnuTG9", u"x abc y"_s, 2, 3, e, u"x <BR> y"_s, e, {}, 6},
    {"single tag, nothing selected", "mnuTG0", u"ab"_s, 1, 0, e, u"a<HR>b"_s, e, {}, 5},
    // A clipboard that fails is reported, and the memo stays as it was: cut deletes nothing.
    {"cut, clear fails", "mnuET", k, 5, 4, e, k, e, clear, 9, clear, texts::clipboardWriteFailed},
    {"cut, set fails", "mnuET", k, 5, 4, e, k, noText, clearSet, 9, set, texts::clipboardWriteFailed},
    {"copy fails", "mnuEC", k, 5, 4, e, k, noText, clearSet, 9, set, texts::clipboardWriteFailed},
    {"copy all fails", "mnuACC", k, 5, 4, e, k, e, clear, 9, clear, texts::clipboardWriteFailed},
    {"paste fails", "mnuEP", k, 5, 4, e, k, e, get, 9, get, texts::clipboardReadFailed},
    {"clear clipboard fails", "mnuFCD", k, 5, 4, e, k, e, clear, 9, clear, texts::clipboardWriteFailed},
    // clang-format on
};

} // namespace

// The Edit menu's commands, the clipboard clear and the tag commands' ways of inserting, run from
// their menu items.
class TestEditCommands : public QObject {
    Q_OBJECT

private slots:
    void commands_data() { addRows(::commands); }

    // A command that changes the memo leaves no selection and is undone by one Ctrl+Z, which
    // brings the selection back; one that does not keeps the selection and adds no undo step.
    void commands()
    {
        const auto& c = rowOf(::commands);
        TestWindow t;
        QVERIFY(t.ready());
        if (c.clipboard != noText)
            t.clipboard.content = c.clipboard;
        t.clipboard.failingAccesses = c.failing;
        t.setMemo(c.memo, c.start, c.length);
        const QString selected = t.memo().selectedText();
        t.action(c.control)->trigger();
        QCOMPARE(t.memo().wholeText(), c.memoAfter);
        QCOMPARE(t.clipboard.content.value_or(noText), c.clipboardAfter);
        QCOMPARE(t.clipboard.log, c.log);
        QCOMPARE(t.caret(), c.caret);
        QCOMPARE(t.prompts.shown(),
                 c.report.isNull() ? QStringList() : QStringList{"Pennoro, critical: " + c.report});
        if (c.memoAfter == c.memo) {
            QVERIFY(!t.memo().document()->isUndoAvailable());
        } else {
            QVERIFY(!t.hasSelection());
            QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(t.memo().wholeText(), c.memo);
            QVERIFY(!t.memo().document()->isUndoAvailable());
        }
        QCOMPARE(t.memo().selectedText(), selected);
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
