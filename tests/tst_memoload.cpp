#include "app/mainwindow.h"
#include "app/memoloader.h"
#include "fakes/fakeclipboard.h"
#include "fakes/fakeprompts.h"
#include "fakes/fakeshell.h"
#include "fakes/fakesysinfosystem.h"
#include "memo/memoedit.h"
#include "memo/memofill.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

using namespace pennoro;

namespace {

// The real main window over fake services, not shown yet: start-up fills the memo first.
struct Window {
    FakePrompts prompts;
    FakeClipboard clipboard;
    FakeShell shell;
    FakeSysInfoSystem sysInfo;
    MainWindow window{Services{prompts, clipboard, shell, sysInfo}};

    MemoEdit& memo() { return *window.memo(); }
};

// Lines of different lengths, some wrapping in the memo, some short; `end` after each.
QString lines(int count, QStringView end = u"\r\n")
{
    QString text;
    for (int line = 0; line < count; ++line) {
        text += QString(line % 7 * 23, QChar(u'あ' + line % 40)) + QString::number(line);
        text += end;
    }
    return text;
}

// What the user sees of a loaded memo and can do with it.
struct MemoState {
    QString text;
    int blocks;
    int caret;
    int anchor;
    bool undoable;
    bool modified;
    int scrollMaximum;
    int pageStep;
    int scrollValue;

    explicit MemoState(MemoEdit& memo)
        : text(memo.document()->toRawText()), blocks(memo.document()->blockCount()),
          caret(memo.textCursor().position()), anchor(memo.textCursor().anchor()),
          undoable(memo.document()->isUndoAvailable()), modified(memo.document()->isModified()),
          scrollMaximum(memo.verticalScrollBar()->maximum()),
          pageStep(memo.verticalScrollBar()->pageStep()),
          scrollValue(memo.verticalScrollBar()->value())
    {
    }
};

void compare(const MemoState& loaded, const MemoState& plain)
{
    QCOMPARE(loaded.text.size(), plain.text.size());
    QVERIFY(loaded.text == plain.text);
    QCOMPARE(loaded.blocks, plain.blocks);
    QCOMPARE(loaded.caret, plain.caret);
    QCOMPARE(loaded.anchor, plain.anchor);
    QCOMPARE(loaded.undoable, plain.undoable);
    QCOMPARE(loaded.modified, plain.modified);
    QCOMPARE(loaded.scrollMaximum, plain.scrollMaximum);
    QCOMPARE(loaded.pageStep, plain.pageStep);
    QCOMPARE(loaded.scrollValue, plain.scrollValue);
}

// Start-up's plain way: the whole text, then the window.
MemoState loadedWhole(const QString& text)
{
    Window w;
    w.memo().loadText(text);
    w.window.show();
    if (!QTest::qWaitForWindowExposed(&w.window))
        qWarning("the window was not shown");
    QApplication::processEvents();
    return MemoState(w.memo());
}

void post(QWidget& receiver, Qt::Key key, const QString& text)
{
    QCoreApplication::postEvent(&receiver, new QKeyEvent(QEvent::KeyPress, key, {}, text));
    QCoreApplication::postEvent(&receiver, new QKeyEvent(QEvent::KeyRelease, key, {}, text));
}

} // namespace

class TestMemoLoad : public QObject {
    Q_OBJECT

private slots:
    void sameAsWholeLoad_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("one line") << QStringLiteral("<P>ひとつ</P>");
        QTest::newRow("one line end") << QStringLiteral("\r\n");
        QTest::newRow("no final line end") << lines(1200) + QStringLiteral("最後");
        QTest::newRow("final line end") << lines(1200);
        QTest::newRow("first screen wraps") << QString(400, u'折') + u"\r\n"_qs + lines(3000);
        QTest::newRow("CR, LF and CR LF")
            << lines(700, u"\r") + lines(700, u"\n") + lines(700) + lines(700, u"\n\r");
        QTest::newRow("paragraph separators")
            << lines(900, u"\u2029") + lines(900) + lines(300, u"\r\n\u2029");
        QTest::newRow("document's own separators")
            << lines(800, u"\ufdd0\r\n") + lines(800, u"\ufdd1\r\n") + u"\ufdd0"_qs;
        QTest::newRow("50,000 lines") << lines(50000);
        QTest::newRow("one long line") << QString(200000, u'長');
    }

    // Head first or whole, the memo ends the same: text, paragraphs, caret, no undo, scroll range.
    void sameAsWholeLoad()
    {
        QFETCH(QString, text);
        const MemoState plain = loadedWhole(text);

        Window w;
        startup::showWithMemo(w.window, text, QDeadlineTimer::Forever);
        QVERIFY(w.window.isVisible());
        QApplication::processEvents();
        compare(MemoState(w.memo()), plain);
        QVERIFY(!w.window.findChild<QLabel*>(QStringLiteral("loadingNote")));
    }

    // Keys that come while the memo fills wait, then come in order, as typed after the load: they
    // can be undone, the load cannot.
    void keysDuringTheFillFollowInOrder()
    {
        Window w;
        const QString text = lines(50000);
        MemoFill fill(w.memo(), text);
        fill.fillHead();
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        bool posted = false;
        connect(&fill, &MemoFill::progressed, this, [&](int percent) {
            if (posted || percent >= 100)
                return;
            posted = true;
            post(w.memo(), Qt::Key_A, QStringLiteral("a"));
            post(w.memo(), Qt::Key_B, QStringLiteral("b"));
            post(*w.memo().viewport(), Qt::Key_Right, {});
            post(w.memo(), Qt::Key_C, QStringLiteral("c"));
        });
        fill.fillRest();
        QVERIFY(posted);
        QTRY_COMPARE(w.memo().textCursor().position(), 4);
        QCOMPARE(w.memo().wholeText(), u"ab"_qs + text.first(1) + u'c' + text.sliced(1));
        w.memo().undoWithSelection();
        w.memo().undoWithSelection();
        QCOMPARE(w.memo().wholeText(), text);
        QVERIFY(!w.memo().document()->isUndoAvailable());
    }

    // A long load says how far it has come; the note goes when the memo is whole.
    void longLoadShowsHowFar()
    {
        Window w;
        QStringList notes;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const auto* note = w.window.findChild<QLabel*>(QStringLiteral("loadingNote"));
            if (note && note->isVisible() && !notes.contains(note->text()))
                notes.append(note->text());
        });
        watch.start(0);
        // As if the store had taken long to read.
        startup::showWithMemo(w.window, lines(200000), QDeadlineTimer(0));
        watch.stop();
        QVERIFY(!notes.isEmpty());
        for (const QString& note : notes)
            QVERIFY2(QRegularExpression(u"^読込中\\.\\.\\. \\d{1,3}%$"_qs).match(note).hasMatch(),
                     qPrintable(note));
        QVERIFY(!w.window.findChild<QLabel*>(QStringLiteral("loadingNote")));
    }
};

QTEST_MAIN(TestMemoLoad)
#include "tst_memoload.moc"
