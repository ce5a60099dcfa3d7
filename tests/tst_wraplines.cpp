#include "common/fonts.h"
#include "memo/memoedit.h"
#include "memo/wraplines.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace pennoro;

namespace {

struct Line {
    int start;
    int length;
    qreal ascent;
    qreal descent;
    qreal leading;
    qreal naturalWidth;

    bool operator==(const Line&) const = default;
};

QList<Line> linesOf(const QTextLayout& layout)
{
    QList<Line> lines;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines.append({line.textStart(), line.textLength(), line.ascent(), line.descent(),
                      line.leading(), line.naturalTextWidth()});
    }
    return lines;
}

// The first line where the two differ, for the failure message.
QByteArray firstDifference(const QList<Line>& actual, const QList<Line>& expected)
{
    for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i) {
        const Line& a = actual[i];
        const Line& e = expected[i];
        if (!(a == e))
            return QString("line %1: start %2/%3 length %4/%5 ascent %6/%7 descent %8/%9 "
                           "width %10/%11")
                .arg(i)
                .arg(a.start)
                .arg(e.start)
                .arg(a.length)
                .arg(e.length)
                .arg(a.ascent)
                .arg(e.ascent)
                .arg(a.descent)
                .arg(e.descent)
                .arg(a.naturalWidth)
                .arg(e.naturalWidth)
                .toUtf8();
    }
    return QString("%1 lines, expected %2").arg(actual.size()).arg(expected.size()).toUtf8();
}

QList<Line> layOut(const QString& text, const QFont& font, qreal width, bool plainly)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    if (plainly)
        wraplines::breakLinesPlainly(layout, width);
    else
        wraplines::breakLines(layout, text, width);
    return linesOf(layout);
}

QString repeated(const QString& piece, int times)
{
    return piece.repeated(times);
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

} // namespace

class TestWrapLines : public QObject {
    Q_OBJECT

private slots:
    // The lines, their heights and widths equal those of plain QTextLayout line by line.
    void sameLinesAsQt_data()
    {
        QTest::addColumn<QString>("text");
        const QString run = repeated("a", 6000);
        QTest::newRow("one character") << run;
        QTest::newRow("hex") << hex(5000);
        QTest::newRow("base64") << repeated("QUJDREVGR0g+/Tk5OQ==", 500);
        QTest::newRow("words") << words(3000);
        QTest::newRow("words, run, words") << words(200) + " " + run + " " + words(200);
        QTest::newRow("runs between spaces") << run + "   " + hex(5000) + " " + run.left(3000);
        QTest::newRow("runs between tabs") << run.left(5000) + "\t\t" + hex(5000) + "\tx";
        QTest::newRow("run ending in a break") << run.left(6000) + "-" + run.left(100) + "/a";
        QTest::newRow("minified markup")
            << repeated("<div class=\"a\"><span>x</span><a href=\"/p?q=1&r=2\">y</a></div>", 150);
        QTest::newRow("japanese") << repeated("今日は天気が良いので、散歩に出かけました。", 400);
        QTest::newRow("japanese run in latin")
            << run.left(4000) + repeated("漢", 30) + run.left(4000);
        QTest::newRow("half-width katakana") << repeated("ﾃｷｽﾄﾌｧｲﾙ", 1000);
        QTest::newRow("combining marks") << repeated("e\u0301", 5000);
        QTest::newRow("surrogate pairs, unbreakable") << repeated("\U0001D400", 3000);
        QTest::newRow("surrogate pairs in a run") << repeated("ab\U0001D401", 3000);
        QTest::newRow("emoji") << repeated("\U0001F600", 3000);
        QTest::newRow("emoji inside a run") << run.left(5000) + "\U0001F600" + run.left(5000);
        QTest::newRow("emoji at a run's end") << run.left(8000) + "\U0001F600";
        QTest::newRow("no-break spaces") << repeated("abcdef\u00A0", 2000);
        QTest::newRow("soft hyphens") << repeated("abcdefghij\u00AD", 1000);
        QTest::newRow("zero-width spaces") << repeated("abcdefghij\u200B", 1000);
        QTest::newRow("zero-width joiners") << repeated("abcdefghij\u200D", 1000);
        QTest::newRow("arabic") << repeated("\u0628", 6000);
        QTest::newRow("thai") << repeated("\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35", 1000);
        QTest::newRow("line separators") << run.left(3000) + "\u2028" + run.left(3000);
        QTest::newRow("spaces only") << repeated(" ", 5000) + run.left(3000);
    }

    void sameLinesAsQt()
    {
        QFETCH(QString, text);
        const QList<QFont> fonts = {fonts::msGothic(9.75), QFont("DejaVu Sans", 11)};
        for (const QFont& font : fonts) {
            for (const qreal width : {4.0, 97.5, 577.0, 1500.0}) {
                const QList<Line> expected = layOut(text, font, width, true);
                const QList<Line> actual = layOut(text, font, width, false);
                QVERIFY2(actual == expected,
                         qPrintable(QString("%1, width %2: ").arg(font.family()).arg(width) +
                                    firstDifference(actual, expected)));
            }
        }
    }

    // The memo lays out its paragraphs as QPlainTextEdit does, after loading and after edits
    // inside a long paragraph and across paragraphs.
    void memoLikePlainTextEdit()
    {
        MemoEdit memo;
        QPlainTextEdit plain;
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&memo), &plain}) {
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            edit->setFont(fonts::msGothic(9.75));
            edit->resize(585, 249);
            edit->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        const QString text = words(300) + "\n" + hex(7000) + "\n\n" + repeated("a", 9000) + " " +
                             words(50) + "\n" + repeated("今日は", 900);
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
            [](QPlainTextEdit& e) { e.undo(); },
            [](QPlainTextEdit& e) { e.undo(); },
            [&](QPlainTextEdit& e) { // pasting a long line
                QTextCursor cursor(e.document()->firstBlock());
                cursor.insertText(hex(12000));
            },
            [](QPlainTextEdit& e) { e.resize(400, 249); },
        };
        for (int step = 0; step < edits.size(); ++step) {
            edits[step](memo);
            edits[step](plain);
            QCOMPARE(memo.document()->blockCount(), plain.document()->blockCount());
            for (int i = 0; i < plain.document()->blockCount(); ++i) {
                const QTextBlock a = memo.document()->findBlockByNumber(i);
                const QTextBlock b = plain.document()->findBlockByNumber(i);
                memo.document()->documentLayout()->blockBoundingRect(a);
                plain.document()->documentLayout()->blockBoundingRect(b);
                const QList<Line> actual = linesOf(*a.layout());
                const QList<Line> expected = linesOf(*b.layout());
                QVERIFY2(actual == expected,
                         qPrintable(QString("step %1, block %2: ").arg(step).arg(i) +
                                    firstDifference(actual, expected)));
                QCOMPARE(a.lineCount(), b.lineCount());
            }
            QCOMPARE(memo.document()->lineCount(), plain.document()->lineCount());
            QTRY_COMPARE(memo.verticalScrollBar()->maximum(), plain.verticalScrollBar()->maximum());
        }
    }
};

QTEST_MAIN(TestWrapLines)
#include "tst_wraplines.moc"
