#include "layout/linearwrappinglayout.h"

#include "layout/heapforlayout.h"
#include "layout/wraplines.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

#include <climits>

namespace pennoro {

LinearWrappingLayout::LinearWrappingLayout(QTextDocument* document, std::function<int()> width)
    : QPlainTextDocumentLayout(document), width_(std::move(width))
{
}

bool LinearWrappingLayout::takesOver(const QTextBlock& block) const
{
    return block.isValid() && block.isVisible() && block.length() > longParagraph &&
           document()->defaultTextOption().wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;
}

QRectF LinearWrappingLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (takesOver(block) && block.layout()->lineCount() == 0)
        const_cast<LinearWrappingLayout*>(this)->layOut(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void LinearWrappingLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument* doc = document();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(qMax(0, from + charsRemoved + charsAdded - 1));
    if (first == last && doc->blockCount() == blockCount_ && first.length() > 0 &&
        takesOver(first)) {
        // A change inside one paragraph: it is laid out again and everything repainted, as the
        // base does when a paragraph's height changes. (The change has dropped the old layout:
        // finding the old height would lay the paragraph out twice.)
        layOut(first);
        emit update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
        return;
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    blockCount_ = doc->blockCount();
}

qreal LinearWrappingLayout::availableWidth(const QTextBlock& block) const
{
    const QTextDocument* doc = document();
    qreal width = width_();
    if (width <= 0)
        width = qreal(INT_MAX); // no width yet: one line per paragraph
    width -= 2 * doc->documentMargin();
    if (doc->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetrics(block.charFormat().font()).horizontalAdvance(QChar(0x21B5));
    return width;
}

void LinearWrappingLayout::layOut(const QTextBlock& block)
{
    QTextDocument* doc = document();
    QTextLayout* layout = block.layout();
    layout->setTextOption(doc->defaultTextOption());
    const HeapForLayout heap;
    wraplines::breakLines(*layout, block.text(), availableWidth(block));
    placeLinesAsTheBaseDoes(*layout);
    const int linesBefore = doc->lineCount();
    QTextBlock(block).setLineCount(layout->lineCount());
    if (doc->lineCount() != linesBefore)
        emit documentSizeChanged(documentSize());
}

// What the base does with a paragraph's lines once broken, kept to itself: as in Qt 6.4's
// QPlainTextDocumentLayout::layoutBlock (qplaintextedit.cpp). So are the width it leaves for the
// text (availableWidth) and the block count it compares with (documentChanged).
void LinearWrappingLayout::placeLinesAsTheBaseDoes(QTextLayout& layout) const
{
    const qreal margin = document()->documentMargin();
    qreal height = 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
        QTextLine line = layout.lineAt(i);
        line.setLeadingIncluded(true);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0)
            height += qCeil(line.leading());
    }
}

} // namespace pennoro
