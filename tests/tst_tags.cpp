#include "fakes/testwindow.h"

#include <QMenu>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

using Results = QList<std::pair<QString, QString>>; // menu item, text

// What each tag command makes of a selected "abc", in menu order.
Results expectedOnAbc()
{
    Results expected = {{"mnuTG6", "<B>abc</B>"}, {"mnuTG7", "<I>abc</I>"}};
    const auto font = [&](const char* attribute, const QString& control, const QString& value) {
        expected.append({control, u"<FONT %1=\"%2\">abc</FONT>"_s.arg(attribute, value)});
    };
    const Results colours = {
        {"mnuTG41", "#FF0000"},  {"mnuTG40", "#D24D82"},  {"mnuTG415", "#FF8686"},
        {"mnuTG416", "#FF9A35"}, {"mnuTG43", "#D9D900"},  {"mnuTG413", "#7BF700"},
        {"mnuTG46", "#00AA3C"},  {"mnuTG412", "#008080"}, {"mnuTG47", "#00DFFF"},
        {"mnuTG42", "#0000FF"},  {"mnuTG45", "#000080"},  {"mnuTG419", "#0080C0"},
        {"mnuTG417", "#FF80C0"}, {"mnuTG414", "#B5B5FF"}, {"mnuTG48", "#8000FF"},
        {"mnuTG420", "#804040"}, {"mnuTG49", "#808040"},  {"mnuTG411", "#808080"},
        {"mnuTG44", "#000000"},  {"mnuTG421", "#FFFFFF"}, {"mnuTG4N", "#******"}};
    // The Japanese faces begin with a full-width "ＭＳ".
    const Results faces = {{"mnuTG3M5", "Arial"},           {"mnuTG3M9", "Comic Sans MS"},
                           {"mnuTG3M7", "News Gothic MT"},  {"mnuTG3M8", "System"},
                           {"mnuTG3M6", "Times New Roman"}, {"mnuTG3M1", "ＭＳ Ｐゴシック"},
                           {"mnuTG3M2", "ＭＳ Ｐ明朝"},     {"mnuTG3M3", "ＭＳ ゴシック"},
                           {"mnuTG3M4", "ＭＳ 明朝"}};
    for (const auto& [control, colour] : colours)
        font("COLOR", control, colour);
    for (int size = 1; size <= 7; ++size)
        font("SIZE", u"mnuTG5%1"_s.arg(size), QString::number(size));
    for (const auto& [control, face] : faces)
        font("FACE", control, face);
    return expected + Results{{"mnuTG8", "<MARQUEE>abc</MARQUEE>"},
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
                              {"mnuTGK3", "<!--abc-->"}};
}

// The names of a menu's items, each submenu's items after its own name.
QStringList itemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions()) {
        names.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
        if (action->menu())
            names += itemNames(action->menu());
    }
    return names;
}

} // namespace

class TestTags : public QObject {
    Q_OBJECT

private slots:
    // Each command replaces the selection and leaves the caret after its text; the menu holds them
    // all in this order, without separators.
    void everyCommandThroughItsMenuItem()
    {
        TestWindow t;
        QVERIFY(t.ready());
        QStringList controls;
        for (const auto& [control, expected] : expectedOnAbc()) {
            t.setMemo(QStringLiteral("x abc y"), 2, 3);
            QAction* item = t.action(control);
            QVERIFY2(item, qPrintable(control));
            item->trigger();
            QCOMPARE(t.memo().wholeText(), "x " + expected + " y");
            QCOMPARE(t.caret(), 2 + expected.size());
            QVERIFY(!t.hasSelection());
            controls.append(control);
        }
        // Each submenu stands where its first item comes.
        for (const auto& [submenu, first] : {std::pair("mnuTG4", "mnuTG41"),
                                             {"mnuTG5", "mnuTG51"},
                                             {"mnuTG3", "mnuTG3M5"},
                                             {"mnuTGK", "mnuTGK01"}})
            controls.insert(controls.indexOf(first), submenu);
        QCOMPARE(itemNames(t.window.findChild<QMenu*>(QStringLiteral("mnuTG"))), controls);
        QCOMPARE(t.action(QStringLiteral("mnuTG3M1"))->text(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(t.action(QStringLiteral("mnuTGK3"))->text(), QStringLiteral("<!---->"));
    }

    // With nothing selected the tags go in empty and the caret after them; the selection goes in
    // as it is.
    void emptySelectionsAndSpecialCharacters()
    {
        TestWindow t;
        QVERIFY(t.ready());
        const Results empty = {{"mnuTG6", "a<B></B>b"},
                               {"mnuTG2", "a<A HREF=\"\"></A>b"},
                               {"mnuTG1", "a<IMG SRC=\"\">b"},
                               {"mnuTG0", "a<HR>b"}};
        for (const auto& [control, expected] : empty) {
            t.setMemo(QStringLiteral("ab"), 1, 0);
            t.action(control)->trigger();
            QCOMPARE(t.memo().wholeText(), expected);
            QCOMPARE(t.caret(), expected.size() - 1);
        }
        t.setMemo(QStringLiteral("a\"<&>b"), 0, 6);
        t.action(QStringLiteral("mnuTG2"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("<A HREF=\"a\"<&>b\">a\"<&>b</A>"));
    }

    void wrappingTwiceNestsAndUndoTakesBackOneCommandAtATime()
    {
        TestWindow t;
        QVERIFY(t.ready());
        t.setMemo(QStringLiteral("x abc"), 2, 3);
        t.action(QStringLiteral("mnuTG6"))->trigger();
        t.select(2, 10);
        t.action(QStringLiteral("mnuTG6"))->trigger();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x <B><B>abc</B></B>"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x <B>abc</B>"));
        QCOMPARE(t.memo().textCursor().selectedText(), QStringLiteral("<B>abc</B>"));
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x abc"));
        QCOMPARE(t.memo().textCursor().selectedText(), QStringLiteral("abc"));
    }
};

QTEST_MAIN(TestTags)
#include "tst_tags.moc"
