#include "fakes/testwindow.h"
#include "tags/taginsertion.h"

#include <QCryptographicHash>
#include <QMenu>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

// The names of a menu's items, each submenu's items after its own name.
QStringList itemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions()) {
        names.append(action->isSeparator() ? u"-"_s : action->objectName());
        if (action->menu())
            names += itemNames(action->menu());
    }
    return names;
}

} // namespace

class TestTags : public QObject {
    Q_OBJECT

private slots:
    // One row for each way a command puts its text in place of the selection.
    void shapes_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("after"); // the caret goes after the inserted text
        QTest::newRow("paired tag around a selection") << "mnuTG6"
                                                       << "x abc y" << 2 << 3 << "x <B>abc</B> y";
        QTest::newRow("paired tag, nothing selected") << "mnuTG6"
                                                      << "ab" << 1 << 0 << "a<B></B>b";
        QTest::newRow("link: the selection twice")
            << "mnuTG2"
            << "x abc y" << 2 << 3 << "x <A HREF=\"abc\">abc</A> y";
        QTest::newRow("link, nothing selected") << "mnuTG2"
                                                << "ab" << 1 << 0 << "a<A HREF=\"\"></A>b";
        QTest::newRow("link, special characters as they are")
            << "mnuTG2"
            << "a\"<&>b" << 0 << 6 << "<A HREF=\"a\"<&>b\">a\"<&>b</A>";
        QTest::newRow("single tag replaces a selection") << "mnuTG9"
                                                         << "x abc y" << 2 << 3 << "x <BR> y";
        QTest::newRow("single tag, nothing selected") << "mnuTG0"
                                                      << "ab" << 1 << 0 << "a<HR>b";
    }

    void shapes()
    {
        QFETCH(QString, control);
        QFETCH(QString, memo);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, after);
        TestWindow t;
        QVERIFY(t.ready());
        t.setMemo(memo, start, length);
        t.action(control)->trigger();
        QCOMPARE(t.memo().wholeText(), after);
        QCOMPARE(t.caret(), after.size() - (memo.size() - start - length));
        QVERIFY(!t.hasSelection());
        // One Ctrl+Z takes the command back, selection and all.
        QTest::keyClick(&t.memo(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(t.memo().wholeText(), memo);
        QCOMPARE(t.memo().selectedText(), memo.sliced(start, length));
        QVERIFY(!t.memo().document()->isUndoAvailable());
    }

    // The menu is the catalogue: its order (each submenu where its first item comes, no
    // separators), captions and shortcuts, and each item runs its own entry. The catalogue itself
    // is pinned by a hash of what it shows and writes, so that no tag text changes unnoticed.
    void menuIsTheCatalogue()
    {
        TestWindow t;
        QVERIFY(t.ready());
        auto* top = t.window.findChild<QMenu*>(tags::menuControl.toString());
        QCOMPARE(top->title(), tags::menuCaption.toString());
        QStringList order;
        QString listing;
        for (const TagCommand& command : tags::catalogue()) {
            const QString control = command.control.toString();
            QAction* item = t.action(control);
            auto* menu = qobject_cast<QMenu*>(item->parent());
            if (command.menu != TagMenu::TopLevel && !order.contains(menu->objectName()))
                order.append(menu->objectName());
            order.append(control);
            QCOMPARE(item->text(), command.caption.toString());
            t.setMemo(u"abc"_s, 0, 3);
            item->trigger();
            QCOMPARE(t.memo().wholeText(), tags::replacement(command, u"abc"));
            listing += u"%1 %2 %3 %4 %5 %6\n"_s.arg(menu->objectName(), menu->title(), control,
                                                    item->text(), item->shortcut().toString(),
                                                    t.memo().wholeText());
        }
        QCOMPARE(itemNames(top), order);
        const QByteArray hash =
            QCryptographicHash::hash(listing.toUtf8(), QCryptographicHash::Sha256).toHex();
        const QByteArray pinned =
            "39b7eb1c40e75148c2ebd77fca7e743712ff1c69eea058300f8fc1dca32a9e42";
        if (hash != pinned)
            qInfo().noquote() << listing; // to compare with the catalogue as it was
        QCOMPARE(hash, pinned);
    }
};

QTEST_MAIN(TestTags)
#include "tst_tags.moc"
