#include "app/clicklabel.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "load/memoload.h"
#include "load/storereading.h"
#include "tags/taginsertion.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>

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

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // A fixed window under its caption; the memo's and the labels' colours and fonts. (What the
    // labels run is in the table of commands below.)
    void looks()
    {
        TestWindow t;
        QVERIFY(t.ready());
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
        QCOMPARE(t.window.minimumSize(), t.window.maximumSize());
        QVERIFY(!(t.window.windowFlags() & Qt::WindowMaximizeButtonHint));
        const auto looks = [](const QWidget* widget, QPalette::ColorRole back,
                              QPalette::ColorRole text) {
            const QFont font = widget->font();
            return u"%1 %2 %3%4 %5 on %6"_s
                .arg(widget->property("text").toString(), font.families().value(0))
                .arg(font.pointSizeF())
                .arg(font.bold() ? u" bold" : u"")
                .arg(widget->palette().color(text).name(), widget->palette().color(back).name());
        };
        QCOMPARE(looks(&t.memo(), QPalette::Base, QPalette::Text),
                 u" ＭＳ ゴシック 9.75 #80ffff on #000080"_s);
        const auto label = [&](const char* name) {
            return looks(t.window.findChild<ClickLabel*>(QLatin1String(name)), QPalette::Window,
                         QPalette::WindowText);
        };
        QCOMPARE(label("btEND"), u"保存終了[F2] ＭＳ Ｐゴシック 11.25 bold #ffffff on #8080ff"_s);
        QCOMPARE(label("btCLR"), u"全てクリア[F3] ＭＳ Ｐゴシック 11.25 bold #ffffff on #ff8000"_s);
        QCOMPARE(label("btCLC"), u"全てコピー[F5] ＭＳ Ｐゴシック 11.25 bold #ffffff on #0000ff"_s);
    }

    // The menu bar and the items of each menu but the HTML tag menu, in order.
    void menuCaptions()
    {
        TestWindow t;
        QVERIFY(t.ready());
        QStringList captions;
        for (const QAction* menu : t.window.menuBar()->actions()) {
            captions.append(menu->objectName() + u'=' + menu->text());
            for (const QAction* item : menu->menu()->actions())
                if (menu->objectName() != QStringLiteral("mnuTG"))
                    captions.append(item->isSeparator()
                                        ? QStringLiteral(" -")
                                        : u' ' + item->objectName() + u'=' + item->text());
        }
        QCOMPARE(
            captions,
            QStringList({"mnuF=Pennoro(&M)", " mnuBSA=ｳﾞｧｰｼﾞｮﾝ情報(&A)", " mnuFX=終了(&X)",
                         "mnuCE=編集(&E)", " mnuET=ｶｯﾄ(&T)", " mnuEC=ｺﾋﾟｰ(&C)", " mnuEP=ﾍﾟｰｽﾄ(&P)",
                         " mnudc=ｸﾘｱ(&D)", " mnuFN=全ｸﾘｱ(&N)", " mnuACC=全ｺﾋﾟｰ(&A)",
                         "mnuTG=HTMLﾀｸﾞ(&T)", "mnuE=ｸﾘｯﾌﾟﾎﾞｰﾄﾞ(&C)",
                         " mnuFCD=ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容をｸﾘｱ(&D)", " mnuFCS=ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を保存(&S)",
                         "mnuR=ﾒﾓﾘｰ(&F)", " mnuFC=ﾌｧｲﾙｴｸｽﾎﾟｰﾄ(&S)", " mnuFR=ｴﾃﾞｨｯﾄﾘｾｯﾄ(&R)", " -",
                         " mnuFV=ﾌﾞﾗｳｻﾞで表示(&V)"}));
    }

    // The HTML tag menu is the catalogue: its order (each submenu where its first item comes, no
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
            t.setMemo(u"abc"_s, 0, 3);
            item->trigger();
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

    // Keys that the memo would take for itself run the menu commands instead.
    void menuKeysWinOverTheMemo()
    {
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        const QList<std::pair<QString, QKeySequence>> keys = {
            {"mnuET", QKeySequence("Ctrl+X")},  {"mnuEC", QKeySequence("Ctrl+C")},
            {"mnuEP", QKeySequence("Ctrl+V")},  {"mnudc", QKeySequence("Shift+Del")},
            {"mnuFN", QKeySequence("F3")},      {"mnuFCD", QKeySequence("F4")},
            {"mnuACC", QKeySequence("F5")},     {"mnuFR", QKeySequence("Ctrl+R")},
            {"mnuFX", QKeySequence("F2")},      {"mnuTG6", QKeySequence("Ctrl+B")},
            {"mnuTG2", QKeySequence("Ctrl+K")}, {"mnuTG1", QKeySequence("Ctrl+I")},
        };
        for (const auto& [control, key] : keys) {
            t.setMemo(QStringLiteral("keep me"), 0, 4);
            QSignalSpy triggered(t.action(control), &QAction::triggered);
            QTest::keySequence(&t.memo(), key);
            QVERIFY2(triggered.count() == 1, qPrintable(control));
            QVERIFY(t.memo().hasFocus());
        }
    }

    // A word still being composed in an input method is part of the memo for every command, as
    // it is on the screen: the label, key or menu item commits it first, and the keyboard stays
    // in the memo.
    void commandsSeeTheWordBeingComposed_data()
    {
        QTest::addColumn<QString>("command"); // a label, a key, or a menu item to trigger
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QByteArray>("store");
        const QString word = QStringLiteral("abcにほんご");
        const QByteArray saved = "abc\x82\xC9\x82\xD9\x82\xF1\x82\xB2\r\n";
        QTest::newRow("save-and-exit label") << "btEND" << word << QString() << saved;
        QTest::newRow("save-and-exit key") << "F2" << word << QString() << saved;
        QTest::newRow("copy-all label") << "btCLC" << word << word << QByteArray();
        QTest::newRow("clear-all label") << "btCLR" << QString() << QString() << QByteArray();
        QTest::newRow("bold key") << "Ctrl+B" << word + QStringLiteral("<B></B>") << QString()
                                  << QByteArray();
        QTest::newRow("copy-all item") << "mnuACC" << word << word << QByteArray();
    }

    void commandsSeeTheWordBeingComposed()
    {
        QFETCH(QString, command);
        QFETCH(QString, memo);
        QFETCH(QString, clipboard);
        QFETCH(QByteArray, store);
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        t.setMemo(QStringLiteral("abc"), 3);
        QInputMethodEvent composing(QStringLiteral("にほんご"), {});
        QCoreApplication::sendEvent(&t.memo(), &composing);
        QCOMPARE(t.memo().composition(), QStringLiteral("にほんご"));
        if (auto* label = t.window.findChild<ClickLabel*>(command))
            QTest::mouseClick(label, Qt::LeftButton);
        else if (QAction* item = t.action(command))
            item->trigger();
        else
            QTest::keySequence(&t.memo(), QKeySequence(command));
        QCOMPARE(t.memo().composition(), QString());
        QVERIFY(t.memo().hasFocus());
        QCOMPARE(t.memo().wholeText(), memo);
        QCOMPARE(t.clipboard.content.value_or(QString()), clipboard);
        QCOMPARE(fileBytes(dir.path("Data.pnr")), store.isEmpty() ? "<missing>" : store);
    }

    // A missing store is an empty memo; one that cannot be read (here a folder in its place) is
    // reported with its name and left alone.
    void loadingTheMemo()
    {
        for (const bool folder : {false, true}) {
            InTempDir dir;
            QVERIFY(!folder || QDir().mkdir(dir.path("Data.pnr")));
            TestWindow t;
            StoreReading reading;
            MemoLoad load(t.window, t.memo());
            QCOMPARE(load.run(reading, t.prompts),
                     folder ? MemoLoad::Phase::Failed : MemoLoad::Phase::Done);
            QCOMPARE(t.memo().wholeText(), QString());
            QCOMPARE(t.prompts.messages.size(), folder ? 1 : 0);
            QVERIFY(!folder || (t.prompts.messages[0].title == "Pennoro" &&
                                t.prompts.messages[0].text.contains("Data.pnr")));
            QCOMPARE(QFileInfo(dir.path("Data.pnr")).isDir(), folder);
        }
    }

    // The About box opens modally, each time a new one, destroyed when it closes.
    void aboutBox()
    {
        TestWindow t;
        QVERIFY(t.ready());
        QStringList seen;
        QList<QPointer<QWidget>> boxes;
        for (int opening = 0; opening < 2; ++opening) {
            QTimer::singleShot(0, [&] {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    seen.append(box->objectName());
                    boxes.append(box);
                    QTest::keyClick(box, Qt::Key_Escape);
                }
            });
            t.action(QStringLiteral("mnuBSA"))->trigger();
        }
        QCOMPARE(seen, QStringList({"frmAbout", "frmAbout"}));
        QVERIFY(boxes[0].isNull() && boxes[1].isNull());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
