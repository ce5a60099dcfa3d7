#include "common/fonts.h"
#include "memo/memoedit.h"
#include "memo/wraplines.h"

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

QStringList layOut(const QString& text, const QFont& font, qreal width,
                   QTextOption::WrapMode wrapping, bool plainly)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(wrapping);
    layout.setTextOption(option);
    if (plainly)
        wraplines::breakLinesPlainly(layout, width);
    else
        wraplines::breakLines(layout, text, width);
    return linesOf(layout);
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
    // The lines, their heights and widths equal those of plain QTextLayout line by line, in the
    // memo's font and another, from narrower than a character to wider than the screen.
    void sameLinesAsQt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QFont>("font");
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QTextOption::WrapMode>("wrapping");
        const QString run(6000, u'a');
        // clang-format off
        const QList<std::pair<const char*, QString>> texts = {
            {"one character", run},
            {"hex", hex(5000)},
            {"base64", u"QUJDREVGR0g+/Tk5OQ=="_s.repeated(500)},
            {"words", words(3000)},
            {"words, run, words", words(200) + " " + run + " " + words(200)},
            {"runs between spaces and tabs", run + "   " + hex(5000) + " " + run.left(3000) + "\t\t" + hex(5000) + "\tx"},
            {"run ending in a break", run.left(6000) + "-" + run.left(100) + "/a"},
            {"minified markup", u"<div class=\"a\"><span>x</span><a href=\"/p?q=1&r=2\">y</a></div>"_s.repeated(150)},
            {"japanese, half-width katakana", u"今日は天気が良いので、散歩に出かけました。ﾃｷｽﾄﾌｧｲﾙ"_s.repeated(400)},
            {"japanese run in latin", run.left(4000) + u"漢"_s.repeated(30) + run.left(4000)},
            {"combining marks", u"e\u0301"_s.repeated(5000)},
            {"surrogate pairs, unbreakable and in a run", u"\U0001D400"_s.repeated(3000) + u"ab\U0001D401"_s.repeated(3000)},
            {"emoji", u"\U0001F600"_s.repeated(3000)},
            {"emoji inside a run and at its end", run.left(5000) + u"\U0001F600"_s + run.left(5000) + u"\U0001F600"_s},
            {"no-break spaces, soft hyphens, zero-width spaces and joiners", u"abcdef\u00A0abcdefghij\u00ADabcdefghij\u200Babcdefghij\u200D"_s.repeated(500)},
            {"arabic", u"\u0628"_s.repeated(6000)},
            {"thai", u"\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35"_s.repeated(1000)},
            {"line separators", run.left(3000) + u"\u2028"_s + run.left(3000)},
            {"spaces only", QString(5000, u' ') + run.left(3000)},
        };
        // clang-format on
        for (const QFont& font : {fonts::msGothic(9.75), QFont("DejaVu Sans", 11)})
            for (const qreal width : {4.0, 97.5, 577.0, 1500.0})
                for (const auto& [name, text] : texts)
                    QTest::addRow("%s, %s, width %g", name, qPrintable(font.family()), width)
                        << text << font << width << QTextOption::WrapAtWordBoundaryOrAnywhere;
        // Other wrap modes are Qt's own way through.
        QTest::newRow("no wrapping")
            << texts[4].second << fonts::msGothic(9.75) << 97.5 << QTextOption::NoWrap;
        QTest::newRow("breaking anywhere")
            << texts[4].second << fonts::msGothic(9.75) << 97.5 << QTextOption::WrapAnywhere;
    }

    void sameLinesAsQt()
    {
        QFETCH(QString, text);
        QFETCH(QFont, font);
        QFETCH(qreal, width);
        QFETCH(QTextOption::WrapMode, wrapping);
        QCOMPARE(layOut(text, font, width, wrapping, false),
                 layOut(text, font, width, wrapping, true));
    }

    // The memo lays out its paragraphs as QPlainTextEdit does, after loading and after edits
    // inside a long paragraph and across paragraphs, with Qt's document margin or none, wrapping
    // or not.
    void memoLikePlainTextEdit_data()
    {
        QTest::addColumn<qreal>("margin"); // below 0: Qt's own
        QTest::addColumn<QPlainTextEdit::LineWrapMode>("wrapping");
        QTest::newRow("Qt's margin") << -1.0 << QPlainTextEdit::WidgetWidth;
        QTest::newRow("no margin") << 0.0 << QPlainTextEdit::WidgetWidth;
        QTest::newRow("wrapping off") << -1.0 << QPlainTextEdit::NoWrap;
    }

    void memoLikePlainTextEdit()
    {
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
            edit->setFont(fonts::msGothic(9.75));
            edit->resize(585, 249);
            edit->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&memo));
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        const QString text = words(300) + "\n" + hex(7000) + "\n\n" + QString(9000, u'a') + " " +
                             words(50) + "\n" + u"今日は"_s.repeated(900);
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
            QCOMPARE(linesOf(memo, step), linesOf(plain, step));
            QCOMPARE(memo.document()->lineCount(), plain.document()->lineCount());
            QTRY_COMPARE(memo.verticalScrollBar()->maximum(), plain.verticalScrollBar()->maximum());
        }
    }
};

QTEST_MAIN(TestWrapLines)
#include "tst_wraplines.moc"
