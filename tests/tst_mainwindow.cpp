#include "app/clicklabel.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "load/memoload.h"
#include "load/storereading.h"

#include <QFileInfo>
#include <QInputMethodEvent>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>

using namespace pennoro;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // The labels run what their twin menu items run and leave the focus in the memo.
    void layoutCaptionAndLabels()
    {
        InTempDir dir;
        TestWindow t;
        QVERIFY(t.ready());
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
        QCOMPARE(t.window.centralWidget()->size(), QSize(585, 281));
        QCOMPARE(t.window.minimumSize(), t.window.maximumSize());
        QVERIFY(!(t.window.windowFlags() & Qt::WindowMaximizeButtonHint));
        // The client area below the menu bar stands at the laid-out place.
        QCOMPARE(t.window.centralWidget()->mapToGlobal(QPoint(0, 0)), QPoint(245, 305));
        QCOMPARE(t.memo().geometry(), QRect(0, 0, 585, 249));
        QCOMPARE(t.memo().font().families().value(0), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(t.memo().font().pointSizeF(), 9.75);
        QCOMPARE(t.memo().palette().color(QPalette::Base), QColor(0, 0, 128));
        QCOMPARE(t.memo().palette().color(QPalette::Text), QColor(128, 255, 255));
        const QList<std::tuple<QString, QString, int, QColor, QString>> labels = {
            {"btEND", "保存終了[F2]", 8, QColor(128, 128, 255), "mnuFX"},
            {"btCLR", "全てクリア[F3]", 144, QColor(255, 128, 0), "mnuFN"},
            {"btCLC", "全てコピー[F5]", 448, QColor(0, 0, 255), "mnuACC"},
        };
        for (const auto& [name, caption, left, colour, twin] : labels) {
            auto* label = t.window.findChild<ClickLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->geometry(), QRect(left, 256, 129, 17));
            QCOMPARE(label->palette().color(QPalette::Window), colour);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
            QCOMPARE(label->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
            QCOMPARE(label->font().pointSizeF(), 11.25);
            QVERIFY(label->font().bold());
            QSignalSpy triggered(t.action(twin), &QAction::triggered);
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(triggered.count(), 1);
            QVERIFY(t.memo().hasFocus());
        }
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
    // it is on the screen: the label, key or menu item commits it first.
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
        QCOMPARE(t.memo().wholeText(), memo);
        QCOMPARE(t.clipboard.content.value_or(QString()), clipboard);
        QCOMPARE(fileBytes(dir.path("Data.pnr")), store.isEmpty() ? "<missing>" : store);
    }

    // A missing store is an empty memo; one that cannot be read is reported and left alone.
    void loadingTheMemo_data()
    {
        QTest::addColumn<QByteArray>("store"); // "<folder>" for a folder in its place
        QTest::addColumn<MemoLoad::Phase>("reached");
        QTest::addColumn<QString>("memo");
        QTest::newRow("none") << QByteArray() << MemoLoad::Phase::Done << QString();
        QTest::newRow("a line and an empty one")
            << QByteArray("abc\r\n\r\n") << MemoLoad::Phase::Done << QStringLiteral("abc\r\n");
        QTest::newRow("a folder") << QByteArray("<folder>") << MemoLoad::Phase::Failed << QString();
    }

    void loadingTheMemo()
    {
        QFETCH(QByteArray, store);
        QFETCH(MemoLoad::Phase, reached);
        QFETCH(QString, memo);
        InTempDir dir;
        if (store == "<folder>")
            QVERIFY(QDir().mkdir(dir.path("Data.pnr")));
        else if (!store.isEmpty())
            QVERIFY(writeBytes(dir.path("Data.pnr"), store));
        TestWindow t;
        StoreReading reading;
        MemoLoad load(t.window, t.memo());
        QCOMPARE(load.run(reading, t.prompts), reached);
        QCOMPARE(t.memo().wholeText(), memo);
        QCOMPARE(t.prompts.messages.size(), reached == MemoLoad::Phase::Failed ? 1 : 0);
        if (reached == MemoLoad::Phase::Failed) {
            QCOMPARE(t.prompts.messages[0].title, QStringLiteral("Pennoro"));
            QVERIFY(t.prompts.messages[0].text.contains(QStringLiteral("Data.pnr")));
            QVERIFY(QFileInfo(dir.path("Data.pnr")).isDir());
        }
    }

    // The About box opens modally, each time a new one, destroyed when it closes, and leaves the
    // window alone.
    void aboutBox()
    {
        TestWindow t;
        QVERIFY(t.ready());
        t.setMemo(QStringLiteral("memo"), 1, 2);
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
        QCOMPARE(t.memo().wholeText(), QStringLiteral("memo"));
        QCOMPARE(t.memo().selectedText(), QStringLiteral("em"));
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
        QVERIFY(!t.window.windowIcon().isNull());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
