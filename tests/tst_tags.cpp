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
