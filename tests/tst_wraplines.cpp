#include "common/fonts.h"
#include "layout/wraplines.h"
#include "memo/memoedit.h"

#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace pennoro;
using namespace Qt::StringLiterals;

namespace {

// Each line of the layout as "start+length ascent/descent/leading width", numbers exact.
QStringList linesOf(const QTextLayout& layout)
{
    const auto exact = [](qreal number) { return QString::number(number, 'g', 17); };
    QStringList lines;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines.append(u"%1+%2 %3/%4/%5 %6"_s.arg(
            QString::number(line.textStart()), QString::number(line.textLength()),
            exact(line.ascent()), exact(line.descent()), exact(line.leading()),
            exact(line.naturalTextWidth())));
    }
    return lines;
}

// The lines of every paragraph of the editor, laying out those not laid out yet.
QStringList linesOf(const QPlainTextEdit& edit, int step)
{
    QStringList lines;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        edit.document()->documentLayout()->blockBoundingRect(block);
        for (const QString& line : linesOf(*block.layout()))
            lines.append(u"step %1, block %2: "_s.arg(step).arg(block.blockNumber()) + line);
    }
    return lines;
}

QString words(int count)
{
    const QStringList pool = {"lorem",      "ipsum", "dolor", "sit",  "amet,",     "consectetur",
                              "adipiscing", "elit",  "<P>",   "</P>", "href=\"x\""};
    QStringList out;
    for (int i = 0; i < count; ++i)
        out.append(pool[(i * 7) % pool.size()]);
    return out.join(' ');
}

QString hex(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(u"0123456789abcdef"[(i * 7 + i / 3) % 16]);
    return text;
}

// Paragraphs of what can stop the fast way of breaking lines, change a line's height, or take
// Qt's way: long runs, words, marks, pairs, spaces of every kind, scripts that shape.
QString breakingCases()
{
    const QString run(6000, u'a');
    return QStringList{
        run,
        hex(5000),
        u"QUJDREVGR0g+/Tk5OQ=="_s.repeated(500),
        u"<IMG SRC=\"data:image/png;base64,"_s + hex(6000) + u"\"></IMG><B></B>"_s,
        words(3000),
        words(200) + " " + run + " " + words(200),
        run + "   " + hex(5000) + " " + run.left(3000) + "\t\t" + hex(5000) + "\tx",
        run.left(6000) + "-" + run.left(100) + "/a",
        u"<div class=\"a\"><span>x</span><a href=\"/p?q=1&r=2\">y</a></div>"_s.repeated(150),
        u"今日は天気が良いので、散歩に出かけました。ﾃｷｽﾄﾌｧｲﾙ"_s.repeated(400),
        run.left(4000) + u"漢"_s.repeated(30) + run.left(4000),
        u"e\u0301"_s.repeated(5000),
        u"\U0001D400"_s.repeated(3000) + u"ab\U0001D401"_s.repeated(3000),
        u"\U0001F600"_s.repeated(3000),
        run.left(5000) + u"\U0001F600"_s + run.left(5000) + u"\U0001F600"_s,
        u"abcdef\u00A0abcdefghij\u00ADabcdefghij\u200Babcdefghij\u200D"_s.repeated(500),
        u"\u0628"_s.repeated(6000),
        u"\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35"_s.repeated(1000),
        run.left(3000) + u"\u2028"_s + run.left(3000),
        QString(5000, u' ') + run.left(3000),
    }
        .join(u'\n');
}

} // namespace

class TestWrapLines : public QObject {
    Q_OBJECT

private slots:
    // The memo lays out its paragraphs as QPlainTextEdit does, line for line, heights and widths
    // exact: after loading, after edits inside a long paragraph and across paragraphs, and while a
    // word is composed in one, with
    // Qt's document margin or none, wrapping or not, in the memo's font and a proportional one,
    // from narrow to wider than the screen. (The line-breaking fuzzer tries any width.)
    void memoLikePlainTextEdit_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<qreal>("margin"); // below 0: Qt's own
        QTest::addColumn<QPlainTextEdit::LineWrapMode>("wrapping");
        for (const QFont& font : {fonts::msGothic(9.75), QFont("DejaVu Sans", 11)}) {
            const QByteArray name = font.family().toUtf8();
            QTest::addRow("%s, Qt's margin", name.data())
                << font << -1.0 << QPlainTextEdit::WidgetWidth;
            QTest::addRow("%s, no margin", name.data())
                << font << 0.0 << QPlainTextEdit::WidgetWidth;
            QTest::addRow("%s, wrapping off", name.data())
                << font << -1.0 << QPlainTextEdit::NoWrap;
        }
    }

    void memoLikePlainTextEdit()
    {
        QFETCH(QFont, font);
        QFETCH(qreal, margin);
        QFETCH(QPlainTextEdit::LineWrapMode, wrapping);
        MemoEdit memo;
        QPlainTextEdit plain;
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&memo), &plain}) {
            if (margin >= 0)
                edit->document()->setDocumentMargin(margin);
            edit->setLineWrapMode(wrapping);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setFont(font);
            edit->resize(585, 249);
            edit->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        const QString text = words(300) + "\n" + hex(7000) + "\n\n" + QString(9000, u'a') + " " +
                             words(50) + "\n" + u"今日は"_s.repeated(900) + "\n" + breakingCases();
        const QList<std::function<void(QPlainTextEdit&)>> edits = {
            [&](QPlainTextEdit& e) { e.setPlainText(text); },
            [](QPlainTextEdit& e) { // typing inside the long line
                QTextCursor cursor(e.document()->findBlockByNumber(1));
                cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3500);
                cursor.insertText("xyz");
            },
            [](QPlainTextEdit& e) { // a line break splits it
                QTextCursor cursor(e.document()->findBlockByNumber(3));
                cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 4000);
                cursor.insertText("\n");
            },
            [](QPlainTextEdit& e) { // a word being composed in it, then taken back
                QTextCursor cursor(e.document()->findBlockByNumber(1));
                cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2000);
                e.setTextCursor(cursor);
                QInputMethodEvent compose(u"にほんご"_s, {});
                QCoreApplication::sendEvent(&e, &compose);
            },
            [](QPlainTextEdit& e) {
                QInputMethodEvent cancel;
                QCoreApplication::sendEvent(&e, &cancel);
            },
            [](QPlainTextEdit& e) { e.undo(); },
            [](QPlainTextEdit& e) { e.undo(); },
            [&](QPlainTextEdit& e) { // pasting a long line
                QTextCursor cursor(e.document()->firstBlock());
                cursor.insertText(hex(12000));
            },
            [](QPlainTextEdit& e) { e.resize(400, 249); },
            [](QPlainTextEdit& e) { e.resize(200, 249); },
            [](QPlainTextEdit& e) { e.resize(1500, 249); },
        };
        for (int step = 0; step < edits.size(); ++step) {
            edits[step](memo);
            edits[step](plain);
            QCOMPARE(linesOf(memo, step), linesOf(plain, step));
            QCOMPARE(memo.document()->lineCount(), plain.document()->lineCount());
            QTRY_COMPARE(memo.verticalScrollBar()->maximum(), plain.verticalScrollBar()->maximum());
        }
    }
};

QTEST_MAIN(TestWrapLines)
#include "tst_wraplines.moc"
