#include "app/mainwindow.h"
#include "common/fonts.h"
#include "common/twips.h"
#include "fakes/testfiles.h"
#include "fakes/testwindow.h"
#include "load/linejoining.h"
#include "load/memofill.h"
#include "load/memoload.h"
#include "load/sharedparagraphs.h"
#include "load/storereading.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "platform/cp932codec.h"

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
using Window = WindowOver<>;

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

// What the user sees of a loaded memo and can do with it, but for the text: caret, selection,
// undo, changed, scroll range, page and position.
QString stateOf(MemoEdit& memo)
{
    const QTextCursor cursor = memo.textCursor();
    const QScrollBar& scroll = *memo.verticalScrollBar();
    return QDebug::toString(QList<int>{
        cursor.position(), cursor.anchor(), memo.document()->isUndoAvailable(),
        memo.document()->isModified(), scroll.maximum(), scroll.pageStep(), scroll.value()});
}

// Start-up's plain way: the whole text, then the window.
std::pair<QString, QString> loadedWhole(const QString& text)
{
    Window w;
    w.memo().loadText(text);
    w.window.show();
    if (!QTest::qWaitForWindowExposed(&w.window))
        qWarning("the window was not shown");
    QApplication::processEvents();
    return {w.memo().wholeText(), stateOf(w.memo())};
}

// One memo loaded whole and one head first, shown side by side as the window shows its memo.
// The head-first memo's lines still share paragraphs: the program has not been idle since.
struct TwoMemos {
    MemoEdit whole;
    MemoEdit headFirst;
    bool shown = false;
    bool filled = false;

    explicit TwoMemos(const QString& text)
    {
        for (MemoEdit* memo : {&whole, &headFirst}) {
            // As in the window.
            memo->resize(twips::rect(0, 0, 8775, 3735).size());
            memo->setFont(fonts::msGothic(9.75));
            memo->show();
            shown = QTest::qWaitForWindowExposed(memo);
        }
        whole.loadText(text);
        MemoFill fill(headFirst, text);
        fill.fillHead();
        filled = fill.fillRest();
        if (SharedParagraphs* shared = fill.sharedParagraphs())
            shared->split();
    }
};

// Where the memo shows a position now.
QPoint pointAt(MemoEdit& memo, int position)
{
    QTextCursor cursor(memo.document());
    cursor.setPosition(position);
    return memo.cursorRect(cursor).center();
}

// Mouse actions at the caret; where the mouse goes on to, `target` and then `further`.
enum class Mouse {
    None,
    Click,
    Double,
    Triple,
    TripleDrag,
    TripleShiftClick,
    TripleDragAwayShiftDrag
};

void moveMouse(QWidget* viewport, QPoint to)
{
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(viewport, &move);
}

void useMouse(MemoEdit& memo, Mouse mouse, int caret, int target, int further)
{
    QWidget* viewport = memo.viewport();
    const QPoint point = pointAt(memo, caret);
    if (mouse == Mouse::Click)
        QTest::mouseClick(viewport, Qt::LeftButton, {}, point + QPoint(9, 0));
    if (mouse >= Mouse::Double)
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
    if (mouse < Mouse::Triple)
        return;
    QTest::mousePress(viewport, Qt::LeftButton, {}, point);
    const QPoint to = pointAt(memo, target);
    if (mouse == Mouse::TripleDrag)
        moveMouse(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, mouse == Mouse::TripleDrag ? to : point);
    if (mouse == Mouse::TripleShiftClick)
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, to);
    if (mouse == Mouse::TripleDragAwayShiftDrag) {
        // Dragging the selected line away starts a drag and drop, which takes the release (here
        // it ends at once, dropped nowhere); a Shift+drag then goes on from the line.
        QTest::mousePress(viewport, Qt::LeftButton, {}, point);
        moveMouse(viewport, point + QPoint(3 * QApplication::startDragDistance(), 0));
        QTest::mousePress(viewport, Qt::LeftButton, Qt::ShiftModifier, to);
        moveMouse(viewport, pointAt(memo, further));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ShiftModifier, pointAt(memo, further));
    }
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
        const QString longLine(100000, u'長');
        QTest::newRow("empty") << QString();
        QTest::newRow("one line") << u"<P>ひとつ</P>"_qs;
        QTest::newRow("one line end") << u"\r\n"_qs;
        QTest::newRow("no final line end") << lines(1200) + u"最後"_qs;
        QTest::newRow("final line end") << lines(1200);
        QTest::newRow("first screen wraps") << QString(400, u'折') + u"\r\n"_qs + lines(3000);
        QTest::newRow("CR, LF and CR LF")
            << lines(700, u"\r") + lines(700, u"\n") + lines(700) + lines(700, u"\n\r");
        QTest::newRow("paragraph separators")
            << lines(900, u"\u2029") + lines(900) + lines(300, u"\r\n\u2029");
        QTest::newRow("document's own separators")
            << lines(800, u"\ufdd0\r\n") + lines(800, u"\ufdd1\r\n") + u"\ufdd0"_qs;
        QTest::newRow("50,000 lines") << lines(50000);
        QTest::newRow("one long line") << longLine + longLine;
        QTest::newRow("a long line in the head") << lines(10) + longLine + u"\r\n"_qs + lines(2000);
        QTest::newRow("a long first line") << longLine + u"\r\n"_qs + lines(2000);
        QTest::newRow("a long line of CR-ended lines") << lines(700, u"\r") + u"\n"_qs + lines(900);
        QTest::newRow("a pair where a long line is cut")
            << QString(16383, u'a') + u"😀😀😀\r\n"_qs + lines(400);
    }

    // Head first or whole, the memo ends the same: text, paragraphs, caret, no undo, scroll range.
    void sameAsWholeLoad()
    {
        QFETCH(QString, text);
        const auto [plainText, plainState] = loadedWhole(text);
        Window w;
        MemoLoad load(w.window, w.memo());
        QVERIFY(load.run(text) != MemoLoad::Phase::Abandoned);
        QVERIFY(w.window.isVisible());
        QApplication::processEvents();
        QVERIFY(w.memo().wholeText() == plainText);
        QCOMPARE(stateOf(w.memo()), plainState);
        QVERIFY(!w.window.findChild<QLabel*>(QStringLiteral("loadingNote")));
    }

    void joinsLinesThatLookTheSame_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("joined"); // "|" for a line separator
        QTest::newRow("tags") << u"<P>a</P>\r\n<B>b</B>\r\n"_qs << u"<P>a</P>|<B>b</B>\n"_qs;
        QTest::newRow("CR, LF and CR LF") << u"a\rb\nc\r\nd"_qs << u"a|b|c|d"_qs;
        QTest::newRow("Japanese from its first character")
            << u"<BR>\r\nあい\r\n"_qs << u"<BR>|あい\n"_qs;
        // Digits and punctuation at a line's start take the script of the letters after them
        // in a paragraph of their own, of the line before after a line separator.
        QTest::newRow("digits after Japanese") << u"あい\r\n123\r\n"_qs << u"あい\n123\n"_qs;
        QTest::newRow("a bracket, then another script") << u"<P>\r\n「あ」"_qs << u"<P>\n「あ」"_qs;
        QTest::newRow("a bracket, then the same script") << u"<P>\r\n<B>"_qs << u"<P>|<B>"_qs;
        QTest::newRow("empty line after Latin") << u"<P>\r\n\r\n<P>"_qs << u"<P>||<P>"_qs;
        QTest::newRow("empty line after Japanese") << u"あ\r\n\r\nい"_qs << u"あ\n\nい"_qs;
        QTest::newRow("right to left") << u"a\r\n\u05E9\u05DC\r\nb"_qs << u"a\n\u05E9\u05DC\nb"_qs;
        QTest::newRow("paragraph end") << u"a\r\nb\u2029c\r\nd"_qs << u"a\nb\u2029c\nd"_qs;
        QTest::newRow("control character at the end") << u"a\x0c\r\nb"_qs << u"a\x0c\nb"_qs;
        QTest::newRow("at most 16 lines") << QStringList(17, u"a"_qs).join(u"\r\n")
                                          << QStringList(16, u"a"_qs).join(u'|') + u"\na"_qs;
    }

    void joinsLinesThatLookTheSame()
    {
        QFETCH(QString, lines);
        QFETCH(QString, joined);
        QCOMPARE(linejoining::joinLines(lines, 16).replace(QChar::LineSeparator, u'|'), joined);
    }

    void actsAsWholeLoad_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<Mouse>("mouse");
        QTest::addColumn<int>("lines"); // where the mouse goes on to
        for (const char* keys :
             {"Home, Shift+End", "Up, Shift+Down, Shift+Down", "Left, Right", "Ctrl+Shift+Right",
              "Ctrl+Left", "Backspace", "Del", "Ctrl+Backspace", "Ctrl+Del", "Return, P"})
            QTest::newRow(keys) << QKeySequence(keys) << Mouse::None << 0;
        QTest::newRow("click") << QKeySequence() << Mouse::Click << 0;
        QTest::newRow("double click") << QKeySequence() << Mouse::Double << 0;
        QTest::newRow("triple click") << QKeySequence() << Mouse::Triple << 0;
        QTest::newRow("triple click, drag in the line") << QKeySequence() << Mouse::TripleDrag << 0;
        QTest::newRow("triple click, drag down") << QKeySequence() << Mouse::TripleDrag << 2;
        QTest::newRow("triple click, drag up") << QKeySequence() << Mouse::TripleDrag << -3;
        QTest::newRow("triple click, Shift+click")
            << QKeySequence() << Mouse::TripleShiftClick << 4;
        QTest::newRow("triple click, drag the line away, Shift+drag")
            << QKeySequence() << Mouse::TripleDragAwayShiftDrag << 2;
    }

    // The memo loaded head first answers keys and clicks as the memo loaded whole, anywhere: at
    // the ends of lines and in their middle, where a paragraph ends and where it goes on. Its
    // selection reads the same, CR LF and all.
    void actsAsWholeLoad()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(Mouse, mouse);
        QFETCH(int, lines);
        const QString text = ::lines(1200);
        TwoMemos memos(text);
        QVERIFY(memos.shown && memos.filled);
        const QTextDocument& plain = *memos.whole.document();
        // Two characters into a line: every line has that many.
        const auto lineStart = [&](int line) {
            return plain.findBlockByNumber(line).position() + 2;
        };
        for (int line : {300, 301, 315, 316, 317, 555, 899}) {
            const QTextBlock block = plain.findBlockByNumber(line);
            for (int offset : {0, block.length() / 2, block.length() - 1}) {
                const int position = block.position() + offset;
                const int target = lines ? lineStart(line + lines) : position + 1;
                QString after[2];
                for (MemoEdit* memo : {&memos.whole, &memos.headFirst}) {
                    QTextCursor cursor(memo->document());
                    cursor.setPosition(position);
                    memo->setTextCursor(cursor);
                    QTest::keySequence(memo, keys);
                    useMouse(*memo, mouse, position, target, lineStart(line + lines + 2));
                    // The same lines in view; Qt's scroll bar counts a paragraph's lines only
                    // once it has laid them out.
                    after[memo == &memos.headFirst] =
                        memo->wholeText() + memo->selectedText() +
                        QDebug::toString(
                            QList<int>{memo->textCursor().anchor(), memo->textCursor().position(),
                                       memo->cursorForPosition(QPoint(1, 1)).position()});
                    while (memo->document()->isUndoAvailable())
                        memo->undo();
                }
                QVERIFY2(after[1] == after[0],
                         qPrintable(u"line %1 at %2: %3"_qs.arg(line).arg(offset).arg(
                             after[1].right(40))));
                QVERIFY(memos.headFirst.wholeText() == text);
            }
        }
    }

    // Pixel for pixel, with lines selected, wherever the memo is scrolled to. When the program
    // idles, every line gets its own paragraph again, as loaded whole, at the width it has by then;
    // the caret, the selection and the view stay, and the split is nothing to undo.
    void looksAsWholeLoadAndSplitsWhenIdle()
    {
        TwoMemos memos(lines(1200));
        QVERIFY(memos.shown && memos.filled);
        for (int line : {300, 305, 316, 332, 556, 700}) {
            const int top = memos.whole.document()->findBlockByNumber(line).position();
            QImage shots[2];
            for (MemoEdit* memo : {&memos.whole, &memos.headFirst}) {
                memo->setCursorWidth(0);
                QTextCursor cursor(memo->document());
                cursor.movePosition(QTextCursor::End);
                memo->setTextCursor(cursor);
                cursor.setPosition(top); // scrolled up to here: the line at the top
                memo->setTextCursor(cursor);
                cursor.setPosition(top + 3);
                cursor.setPosition(top + 200, QTextCursor::KeepAnchor);
                memo->setTextCursor(cursor);
                shots[memo == &memos.headFirst] = memo->viewport()->grab().toImage();
            }
            QVERIFY2(shots[0] == shots[1], qPrintable(u"line %1"_qs.arg(line)));
        }
        QTextDocument& document = *memos.headFirst.document();
        QVERIFY(document.toRawText().contains(QChar::LineSeparator));
        // A new width lays every paragraph out anew: the scroll range still counts every line.
        for (MemoEdit* memo : {&memos.whole, &memos.headFirst})
            memo->resize(memo->width() - 40, memo->height());
        const QScrollBar& whole = *memos.whole.verticalScrollBar();
        const QScrollBar& headFirst = *memos.headFirst.verticalScrollBar();
        QTRY_VERIFY2(whole.maximum() > 1200 &&
                         qAbs(headFirst.maximum() - whole.maximum()) < whole.maximum() / 50,
                     qPrintable(QString("%1 %2").arg(whole.maximum()).arg(headFirst.maximum())));
        QTRY_VERIFY(!document.toRawText().contains(QChar::LineSeparator));
        QVERIFY(document.toRawText() == memos.whole.document()->toRawText());
        QCOMPARE(document.blockCount(), memos.whole.document()->blockCount());
        QCOMPARE(memos.headFirst.textCursor().anchor(), memos.whole.textCursor().anchor());
        QCOMPARE(memos.headFirst.textCursor().position(), memos.whole.textCursor().position());
        const QPoint topLeft(1, 1);
        QCOMPARE(memos.headFirst.cursorForPosition(topLeft).position(),
                 memos.whole.cursorForPosition(topLeft).position());
        QVERIFY(!document.isUndoAvailable());
        QVERIFY(!document.isModified());
    }

    // A long load shows the window while the store is read and says how far it has come, the
    // reading and then the filling; the note goes when the memo is whole. The store is read a
    // piece at a time, to the same text as at one go. A click on a label or a key during the load
    // waits for the whole memo, then all come in order: keys typed as after the load, which can be
    // undone, the load cannot. A close request gives the load up and everything typed with it: an
    // F2 held back must not save a memo loaded in part.
    void longLoad_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("the load ends") << false;
        QTest::newRow("the window is closed") << true;
    }

    void longLoad()
    {
        QFETCH(bool, close);
        const InTempDir dir;
        QByteArray store = cp932::encode(lines(60000)).value().bytes;
        for (qsizetype at = store.size() - 1000; at > 0; at -= 300'000)
            store.insert(store.indexOf('\n', at), "\x82\r\xFF"); // a lead byte before CR LF
        QVERIFY(writeBytes(dir.path(u"Data.pnr"_qs), store));
        const QString memo = memostore::memoFromStoreText(cp932::decode(store).value().text);

        Window w;
        QList<int> percents;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const auto* note = w.window.findChild<QLabel*>(QStringLiteral("loadingNote"));
            const auto shown = QRegularExpression(u"^読込中\\.\\.\\. (\\d{1,3})%$"_qs)
                                   .match(note && note->isVisible() ? note->text() : QString());
            if (shown.hasMatch() &&
                (percents.isEmpty() || percents.last() != shown.captured(1).toInt()))
                percents.append(shown.captured(1).toInt());
        });
        watch.start(0);
        auto* copyAll = w.window.findChild<QLabel*>(QStringLiteral("btCLC"));
        QTimer::singleShot(0, &w.window, [&] {
            QTest::mouseClick(copyAll, Qt::LeftButton);
            QTest::keyClick(&w.window, Qt::Key_F2);
            if (close)
                QTimer::singleShot(0, &w.window, &QWidget::close);
        });
        StoreReading reading(dir.path(u"Data.pnr"_qs), std::chrono::milliseconds(0));
        MemoLoad load(w.window, w.memo());
        connect(&load, &MemoLoad::phaseChanged, this, [&](MemoLoad::Phase phase) {
            if (phase != MemoLoad::Phase::Rest)
                return;
            post(w.memo(), Qt::Key_A, QStringLiteral("a"));
            post(w.memo(), Qt::Key_B, QStringLiteral("b"));
            post(*w.memo().viewport(), Qt::Key_Right, {});
            post(w.memo(), Qt::Key_C, QStringLiteral("c"));
        });
        QCOMPARE(load.run(reading, w.prompts),
                 close ? MemoLoad::Phase::Abandoned : MemoLoad::Phase::Splitting);
        watch.stop();
        QApplication::processEvents();
        if (close) {
            QVERIFY(fileBytes(dir.path(u"Data.pnr"_qs)) == store);
            QVERIFY(!w.clipboard.content);
            return;
        }
        QVERIFY(!percents.isEmpty());
        QVERIFY2(std::is_sorted(percents.begin(), percents.end()),
                 qPrintable(QDebug::toString(percents)));
        QVERIFY(!w.window.findChild<QLabel*>(QStringLiteral("loadingNote")));
        QVERIFY(copyAll->isVisible());
        QVERIFY(w.clipboard.content == memo);
        QVERIFY(fileBytes(dir.path(u"Data.pnr"_qs)) == cp932::encode(memo).value().bytes + "\r\n");
        QTRY_COMPARE(w.memo().textCursor().position(), 4);
        QVERIFY(w.memo().wholeText() == u"ab"_qs + memo.first(1) + u'c' + memo.sliced(1));
        // The edit stopped the split: it never becomes a step to undo.
        QTRY_COMPARE(load.phase(), MemoLoad::Phase::Done);
        w.memo().undoWithSelection();
        w.memo().undoWithSelection();
        QVERIFY(w.memo().wholeText() == memo);
        QVERIFY(!w.memo().document()->isUndoAvailable());
    }
};

QTEST_MAIN(TestMemoLoad)
#include "tst_memoload.moc"
