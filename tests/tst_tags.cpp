#include "fakes/testwindow.h"
#include "tags/tagcatalogue.h"
#include "tags/taginsertion.h"

#include <QMenu>
#include <QMenuBar>
#include <QSet>

using namespace pennoro;

namespace {

// What each tag command makes of a selected "abc", written out in full.
const QList<std::pair<QString, QString>> expectedOnAbc = {
    {"mnuTG6", "<B>abc</B>"},
    {"mnuTG7", "<I>abc</I>"},
    {"mnuTG41", "<FONT COLOR=\"#FF0000\">abc</FONT>"},
    {"mnuTG40", "<FONT COLOR=\"#D24D82\">abc</FONT>"},
    {"mnuTG415", "<FONT COLOR=\"#FF8686\">abc</FONT>"},
    {"mnuTG416", "<FONT COLOR=\"#FF9A35\">abc</FONT>"},
    {"mnuTG43", "<FONT COLOR=\"#D9D900\">abc</FONT>"},
    {"mnuTG413", "<FONT COLOR=\"#7BF700\">abc</FONT>"},
    {"mnuTG46", "<FONT COLOR=\"#00AA3C\">abc</FONT>"},
    {"mnuTG412", "<FONT COLOR=\"#008080\">abc</FONT>"},
    {"mnuTG47", "<FONT COLOR=\"#00DFFF\">abc</FONT>"},
    {"mnuTG42", "<FONT COLOR=\"#0000FF\">abc</FONT>"},
    {"mnuTG45", "<FONT COLOR=\"#000080\">abc</FONT>"},
    {"mnuTG419", "<FONT COLOR=\"#0080C0\">abc</FONT>"},
    {"mnuTG417", "<FONT COLOR=\"#FF80C0\">abc</FONT>"},
    {"mnuTG414", "<FONT COLOR=\"#B5B5FF\">abc</FONT>"},
    {"mnuTG48", "<FONT COLOR=\"#8000FF\">abc</FONT>"},
    {"mnuTG420", "<FONT COLOR=\"#804040\">abc</FONT>"},
    {"mnuTG49", "<FONT COLOR=\"#808040\">abc</FONT>"},
    {"mnuTG411", "<FONT COLOR=\"#808080\">abc</FONT>"},
    {"mnuTG44", "<FONT COLOR=\"#000000\">abc</FONT>"},
    {"mnuTG421", "<FONT COLOR=\"#FFFFFF\">abc</FONT>"},
    {"mnuTG4N", "<FONT COLOR=\"#******\">abc</FONT>"},
    {"mnuTG51", "<FONT SIZE=\"1\">abc</FONT>"},
    {"mnuTG52", "<FONT SIZE=\"2\">abc</FONT>"},
    {"mnuTG53", "<FONT SIZE=\"3\">abc</FONT>"},
    {"mnuTG54", "<FONT SIZE=\"4\">abc</FONT>"},
    {"mnuTG55", "<FONT SIZE=\"5\">abc</FONT>"},
    {"mnuTG56", "<FONT SIZE=\"6\">abc</FONT>"},
    {"mnuTG57", "<FONT SIZE=\"7\">abc</FONT>"},
    {"mnuTG3M5", "<FONT FACE=\"Arial\">abc</FONT>"},
    {"mnuTG3M9", "<FONT FACE=\"Comic Sans MS\">abc</FONT>"},
    {"mnuTG3M7", "<FONT FACE=\"News Gothic MT\">abc</FONT>"},
    {"mnuTG3M8", "<FONT FACE=\"System\">abc</FONT>"},
    {"mnuTG3M6", "<FONT FACE=\"Times New Roman\">abc</FONT>"},
    {"mnuTG3M1", "<FONT FACE=\"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF\">abc</FONT>"},
    {"mnuTG3M2", "<FONT FACE=\"\uFF2D\uFF33 \uFF30\u660E\u671D\">abc</FONT>"},
    {"mnuTG3M3", "<FONT FACE=\"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF\">abc</FONT>"},
    {"mnuTG3M4", "<FONT FACE=\"\uFF2D\uFF33 \u660E\u671D\">abc</FONT>"},
    {"mnuTG8", "<MARQUEE>abc</MARQUEE>"},
    {"mnuTG2", "<A HREF=\"abc\">abc</A>"},
    {"mnuTG1", "<IMG SRC=\"abc\">"},
    {"mnuTG9", "<BR>"},
    {"mnuTG0", "<HR>"},
    {"mnuTGK01", "<U>abc</U>"},
    {"mnuTGK1", "<STRONG>abc</STRONG>"},
    {"mnuTGK2", "<EM>abc</EM>"},
    {"mnuTGK9", "<TT>abc</TT>"},
    {"mnuTGK0", "<STRIKE>abc</STRIKE>"},
    {"mnuTGK7", "<SUP>abc</SUP>"},
    {"mnuTGK8", "<SUB>abc</SUB>"},
    {"mnuTGK6", "<A NAME=\"abc\">abc</A>"},
    {"mnuTGK4", "<PRE>abc</PRE>"},
    {"mnuTGK5", "<XMP>abc</XMP>"},
    {"mnuTGK3", "<!--abc-->"},
};

QStringList childNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        names.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names;
}

} // namespace

class TestTags : public QObject {
    Q_OBJECT

private slots:
    void everyCommandThroughItsMenuItem()
    {
        TestWindow t;
        QCOMPARE(tagCatalogue().size(), expectedOnAbc.size());
        for (const auto& [control, expected] : expectedOnAbc) {
            t.setMemo(QStringLiteral("x abc y"), 2, 3);
            QAction* item = t.action(control);
            QVERIFY2(item, qPrintable(control));
            item->trigger();
            QCOMPARE(t.memo().wholeText(), "x " + expected + " y");
            QCOMPARE(t.caret(), 2 + expected.size());
            QVERIFY(!t.hasSelection());
            QVERIFY(t.memo().hasFocus());
        }
    }

    void menuLayout()
    {
        TestWindow t;
        auto* tags = t.window.findChild<QMenu*>(QStringLiteral("mnuTG"));
        QVERIFY(tags);
        QCOMPARE(tags->title(), QStringLiteral("HTMLﾀｸﾞ(&T)"));
        QCOMPARE(t.window.menuBar()->actions().indexOf(tags->menuAction()), 2);
        QCOMPARE(childNames(tags),
                 QStringList({"mnuTG6", "mnuTG7", "mnuTG4", "mnuTG5", "mnuTG3", "mnuTG8",
                              "mnuTG2", "mnuTG1", "mnuTG9", "mnuTG0", "mnuTGK"}));
        const QList<std::pair<QString, qsizetype>> submenus = {
            {"mnuTG4", 21}, {"mnuTG5", 7}, {"mnuTG3", 9}, {"mnuTGK", 11}};
        qsizetype commands = 7;
        for (const auto& [name, size] : submenus) {
            auto* submenu = t.window.findChild<QMenu*>(name);
            QVERIFY2(submenu, qPrintable(name));
            QCOMPARE(submenu->actions().size(), size);
            QVERIFY(!childNames(submenu).contains(QStringLiteral("-")));
            commands += size;
        }
        QCOMPARE(commands, 55);
        QCOMPARE(childNames(t.window.findChild<QMenu*>(QStringLiteral("mnuTG3"))).last(),
                 QStringLiteral("mnuTG3M4"));
        QCOMPARE(t.action(QStringLiteral("mnuTG3M1"))->text(),
                 QStringLiteral("\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"));
        QCOMPARE(t.action(QStringLiteral("mnuTGK3"))->text(), QStringLiteral("<!---->"));
    }

    void onlyBoldLinkAndImageHaveShortcuts()
    {
        TestWindow t;
        QMap<QString, QKeySequence> withKeys;
        for (const TagCommand& command : tagCatalogue()) {
            const QAction* item = t.action(command.control.toString());
            if (!item->shortcut().isEmpty())
                withKeys.insert(item->objectName(), item->shortcut());
        }
        QCOMPARE(withKeys, (QMap<QString, QKeySequence>{{"mnuTG6", QKeySequence("Ctrl+B")},
                                                         {"mnuTG2", QKeySequence("Ctrl+K")},
                                                         {"mnuTG1", QKeySequence("Ctrl+I")}}));
    }

    void shortcutsTypedInTheMemo()
    {
        TestWindow t;
        t.setMemo(QStringLiteral("abc"), 0, 3);
        QTest::keyClick(&t.memo(), Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(&t.memo(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<B>abc</B><IMG SRC=\"\">"));
        t.setMemo(QStringLiteral("u"), 0, 1);
        QTest::keyClick(&t.memo(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<A HREF=\"u\">u</A>"));
    }

    void boldThenItalicWorkOnTheEmptySelectionLeftBehind()
    {
        TestWindow t;
        t.setMemo(QStringLiteral("abc"), 0, 3);
        t.action(QStringLiteral("mnuTG6"))->trigger();
        t.action(QStringLiteral("mnuTG7"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<B>abc</B><I></I>"));
        QCOMPARE(t.caret(), 17);
    }

    void emptySelectionsAndFixedTexts()
    {
        const QList<std::pair<QString, QString>> cases = {
            {"mnuTG6", "a<B></B>b"},
            {"mnuTG2", "a<A HREF=\"\"></A>b"},
            {"mnuTGK6", "a<A NAME=\"\"></A>b"},
            {"mnuTG1", "a<IMG SRC=\"\">b"},
            {"mnuTG0", "a<HR>b"},
        };
        TestWindow t;
        for (const auto& [control, expected] : cases) {
            t.setMemo(QStringLiteral("ab"), 1, 0);
            t.action(control)->trigger();
            QCOMPARE(t.memo().wholeText(), expected);
            QCOMPARE(t.caret(), expected.size() - 1);
        }
    }

    void selectionsOverLinesAndSpecialCharactersStayAsTheyAre()
    {
        TestWindow t;
        // "l1", line end, "l2", line end, "l3": select from "l1" through the second line end.
        t.setMemo(QStringLiteral("l1\r\nl2\r\nl3"), 0, 6);
        t.action(QStringLiteral("mnuTGK4"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<PRE>l1\r\nl2\r\n</PRE>l3"));

        t.setMemo(QStringLiteral("a\"<&>b"), 0, 6);
        t.action(QStringLiteral("mnuTG2"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<A HREF=\"a\"<&>b\">a\"<&>b</A>"));

        // The whole memo, and a selection at its very end.
        t.setMemo(QStringLiteral("one\r\ntwo"), 0, 7);
        t.action(QStringLiteral("mnuTGK3"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<!--one\r\ntwo-->"));
        t.action(QStringLiteral("mnuTG9"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<!--one\r\ntwo--><BR>"));
    }

    void wrappingTwiceNestsAndUndoTakesBackOneCommandAtATime()
    {
        TestWindow t;
        t.setMemo(QStringLiteral("x abc"), 2, 3);
        t.action(QStringLiteral("mnuTG6"))->trigger();
        t.select(2, 10);
        t.action(QStringLiteral("mnuTG6"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x <B><B>abc</B></B>"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x <B>abc</B>"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x abc"));
        QCOMPARE(t.memo().textCursor().selectedText(), QStringLiteral("abc"));
    }

    void catalogueIsConsistent()
    {
        QSet<QStringView> controls;
        int links = 0, fixed = 0;
        for (const TagCommand& command : tagCatalogue()) {
            QVERIFY(!controls.contains(command.control));
            controls.insert(command.control);
            links += command.shape == TagShape::Link;
            fixed += command.shape == TagShape::Fixed;
            QCOMPARE(command.middle.isEmpty(), command.shape != TagShape::Link);
            QCOMPARE(command.close.isEmpty(), command.shape == TagShape::Fixed);
        }
        QCOMPARE(links, 2);
        QCOMPARE(fixed, 2);
    }
};

QTEST_MAIN(TestTags)
#include "tst_tags.moc"
