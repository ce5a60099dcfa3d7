#include "app/clicklabel.h"
#include "app/memostore.h"
#include "app/startup.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using namespace pennoro;

namespace {

struct Item {
    QString control;
    QString caption;
    QKeySequence shortcut;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void layoutAndCaption()
    {
        TestWindow t;
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
        QCOMPARE(t.window.objectName(), QStringLiteral("Form1"));
        QCOMPARE(t.window.centralWidget()->size(), QSize(585, 281));
        QCOMPARE(t.window.minimumSize(), t.window.maximumSize());
        QVERIFY(!(t.window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(t.memo().geometry(), QRect(0, 0, 585, 249));
        QCOMPARE(t.memo().palette().color(QPalette::Base), QColor(0, 0, 128));
        QCOMPARE(t.memo().palette().color(QPalette::Text), QColor(128, 255, 255));
        QCOMPARE(t.window.centralWidget()->palette().color(QPalette::Window),
                 QColor(192, 255, 192));
        QVERIFY(t.memo().hasFocus());

        const QList<std::tuple<QString, QString, int, QColor>> labels = {
            {"btEND", "保存終了[F2]", 8, QColor(128, 128, 255)},
            {"btCLR", "全てクリア[F3]", 144, QColor(255, 128, 0)},
            {"btCLC", "全てコピー[F5]", 448, QColor(0, 0, 255)},
        };
        for (const auto& [name, caption, left, colour] : labels) {
            auto* label = t.window.findChild<ClickLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->geometry(), QRect(left, 256, 129, 17));
            QCOMPARE(label->palette().color(QPalette::Window), colour);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            QVERIFY(label->font().bold());
        }
    }

    void menusCaptionsAndKeys()
    {
        TestWindow t;
        QStringList bar;
        for (const QAction* menu : t.window.menuBar()->actions())
            bar.append(menu->objectName() + u'=' + menu->text());
        QCOMPARE(bar, QStringList({"mnuF=Pennoro(&M)", "mnuCE=編集(&E)", "mnuTG=HTMLﾀｸﾞ(&T)",
                                   "mnuE=ｸﾘｯﾌﾟﾎﾞｰﾄﾞ(&C)", "mnuR=ﾒﾓﾘｰ(&F)"}));
        const QList<Item> items = {
            {"mnuBSA", "ｳﾞｧｰｼﾞｮﾝ情報(&A)", {}},
            {"mnuFX", "終了(&X)", QKeySequence("F2")},
            {"mnuET", "ｶｯﾄ(&T)", QKeySequence("Ctrl+X")},
            {"mnuEC", "ｺﾋﾟｰ(&C)", QKeySequence("Ctrl+C")},
            {"mnuEP", "ﾍﾟｰｽﾄ(&P)", QKeySequence("Ctrl+V")},
            {"mnudc", "ｸﾘｱ(&D)", QKeySequence("Shift+Del")},
            {"mnuFN", "全ｸﾘｱ(&N)", QKeySequence("F3")},
            {"mnuACC", "全ｺﾋﾟｰ(&A)", QKeySequence("F5")},
            {"mnuFCD", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容をｸﾘｱ(&D)", QKeySequence("F4")},
            {"mnuFCS", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を保存(&S)", {}},
            {"mnuFC", "ﾌｧｲﾙｴｸｽﾎﾟｰﾄ(&S)", {}},
            {"mnuFR", "ｴﾃﾞｨｯﾄﾘｾｯﾄ(&R)", QKeySequence("Ctrl+R")},
        };
        for (const Item& item : items) {
            QAction* action = t.action(item.control);
            QVERIFY2(action, qPrintable(item.control));
            QCOMPARE(action->text(), item.caption);
            QCOMPARE(action->shortcut(), item.shortcut);
            QVERIFY(action->isEnabled());
        }
        QList<QKeySequence> keys;
        for (const QAction* action : t.window.findChildren<QAction*>())
            if (!action->shortcut().isEmpty()) {
                QVERIFY2(!keys.contains(action->shortcut()), qPrintable(action->objectName()));
                keys.append(action->shortcut());
            }
    }

    // Keys that the memo would take for itself run the menu commands instead.
    void menuKeysWinOverTheMemo()
    {
        InTempDir dir;
        TestWindow t;
        const QList<std::tuple<QString, Qt::Key, Qt::KeyboardModifiers>> keys = {
            {"mnuET", Qt::Key_X, Qt::ControlModifier},
            {"mnuEC", Qt::Key_C, Qt::ControlModifier},
            {"mnuEP", Qt::Key_V, Qt::ControlModifier},
            {"mnudc", Qt::Key_Delete, Qt::ShiftModifier},
            {"mnuFN", Qt::Key_F3, Qt::NoModifier},
            {"mnuFCD", Qt::Key_F4, Qt::NoModifier},
            {"mnuACC", Qt::Key_F5, Qt::NoModifier},
            {"mnuFR", Qt::Key_R, Qt::ControlModifier},
            {"mnuFX", Qt::Key_F2, Qt::NoModifier},
        };
        for (const auto& [control, key, modifiers] : keys) {
            t.setMemo(QStringLiteral("keep me"), 0, 4);
            QSignalSpy triggered(t.action(control), &QAction::triggered);
            QTest::keyClick(&t.memo(), key, modifiers);
            QVERIFY2(triggered.count() == 1, qPrintable(control));
            QVERIFY(t.memo().hasFocus());
        }
    }

    void labelsRunTheirTwinAndLeaveTheFocus()
    {
        InTempDir dir;
        TestWindow t;
        const QList<std::pair<QString, QString>> twins = {
            {"btEND", "mnuFX"}, {"btCLR", "mnuFN"}, {"btCLC", "mnuACC"}};
        for (const auto& [label, twin] : twins) {
            QSignalSpy triggered(t.action(twin), &QAction::triggered);
            QTest::mouseClick(t.window.findChild<ClickLabel*>(label), Qt::LeftButton);
            QCOMPARE(triggered.count(), 1);
            QVERIFY(t.memo().hasFocus());
        }
    }

    void saveAndExitWritesTheMemoPlusALineEnd()
    {
        InTempDir dir;
        TestWindow t;
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        t.setMemo(QStringLiteral("abc\r\n\u2460\u9AD9\uFF5E\uFF71"));
        QTest::keyClick(&t.memo(), Qt::Key_F2);
        QCOMPARE(exits.count(), 1);
        QCOMPARE(fileBytes(dir.path("Data.pnr")),
                 QByteArray("abc\r\n\x87\x40\xFB\xFC\x81\x60\xB1\r\n"));
        QVERIFY(t.prompts.messages.isEmpty());
    }

    void saveAndExitThatCannotWriteKeepsTheWindowAndTheMemo()
    {
        InTempDir dir;
        QVERIFY(QDir(dir.path(QString())).mkdir(QStringLiteral("Data.pnr")));
        TestWindow t;
        QSignalSpy exits(&t.window, &MainWindow::exitRequested);
        t.setMemo(QStringLiteral("precious"), 3, 2);
        QTest::mouseClick(t.window.findChild<ClickLabel*>(QStringLiteral("btEND")),
                          Qt::LeftButton);
        QCOMPARE(exits.count(), 0);
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.prompts.messages[0].title, QStringLiteral("Pennoro"));
        QVERIFY(t.prompts.messages[0].text.contains(QStringLiteral("Data.pnr")));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("precious"));
        QCOMPARE(t.memo().textCursor().selectedText(), QStringLiteral("ci"));
    }

    void startUpLoadsTheMemoStore()
    {
        InTempDir dir;
        FakePrompts prompts;
        QCOMPARE(loadMemoForStartUp(prompts), QString()); // missing: an empty memo
        QVERIFY(writeBytes(dir.path("Data.pnr"), "abc\r\n"));
        QCOMPARE(loadMemoForStartUp(prompts), QStringLiteral("abc\r\n"));
        QVERIFY(prompts.messages.isEmpty());

        TestWindow t;
        t.memo().loadText(*loadMemoForStartUp(prompts));
        QCOMPARE(t.memo().blockCount(), 2); // "abc" and an empty line
        QCOMPARE(t.caret(), 0);
        QVERIFY(!t.memo().document()->isUndoAvailable());
    }

    void startUpReportsAStoreThatCannotBeRead()
    {
        InTempDir dir;
        QVERIFY(QDir(dir.path(QString())).mkdir(QStringLiteral("Data.pnr")));
        FakePrompts prompts;
        QCOMPARE(loadMemoForStartUp(prompts), std::nullopt);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].title, QStringLiteral("Pennoro"));
        QVERIFY(prompts.messages[0].text.contains(QStringLiteral("Data.pnr")));
        QVERIFY(QFileInfo(dir.path("Data.pnr")).isDir()); // nothing written at start-up
    }

    void aboutBoxOpensModallyAndLeavesTheWindowAlone()
    {
        TestWindow t;
        t.setMemo(QStringLiteral("memo"), 1, 2);
        for (int opening = 0; opening < 2; ++opening) {
            QString seen;
            QTimer::singleShot(0, [&seen] {
                QWidget* box = QApplication::activeModalWidget();
                seen = box ? box->objectName() + u'|' + box->windowTitle() : QString();
                if (box)
                    QTest::keyClick(box, Qt::Key_Escape);
            });
            t.action(QStringLiteral("mnuBSA"))->trigger();
            QCOMPARE(seen, QStringLiteral("frmAbout|Pennoro ｳﾞｧｰｼﾞｮﾝ情報"));
        }
        QCOMPARE(t.memo().wholeText(), QStringLiteral("memo"));
        QCOMPARE(t.memo().textCursor().selectedText(), QStringLiteral("em"));
        QCOMPARE(t.window.windowTitle(), QStringLiteral("Pennoro Ver 2.0 - Normal"));
        QVERIFY(!t.window.windowIcon().isNull());
    }

    // The memo's four operations use CR LF, whatever the widget holds inside.
    void memoOperationsSpeakCrLf()
    {
        TestWindow t;
        t.setMemo(QStringLiteral("a\r\nb\rc\nd\u00A0"));
        QCOMPARE(t.memo().blockCount(), 4);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("a\r\nb\r\nc\r\nd\u00A0"));
        t.select(0, 3);
        QCOMPARE(t.memo().selectedText(), QStringLiteral("a\r\nb"));
        t.memo().setSelectedText(QStringLiteral("x\r\ny"));
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x\r\ny\r\nc\r\nd\u00A0"));
        QCOMPARE(t.caret(), 3);
        QVERIFY(!t.hasSelection());
        t.memo().setWholeText(QStringLiteral("new"));
        QCOMPARE(t.caret(), 0);
        QCOMPARE(t.memo().wholeText(), QStringLiteral("new"));
        t.memo().undo();
        QCOMPARE(t.memo().wholeText(), QStringLiteral("x\r\ny\r\nc\r\nd\u00A0"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
