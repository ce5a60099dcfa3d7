#include "memo/wrappingdocumentlayout.h"

#include "memo/memolines.h"
#include "memo/wraplines.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

#include <climits>

namespace pennoro {

WrappingDocumentLayout::WrappingDocumentLayout(QTextDocument* document)
    : QPlainTextDocumentLayout(document)
{
    // The base keeps the width it lays out at to itself. Setting it lays out everything anew
    // and announces that with the default rectangle, which nothing else uses; at that moment
    // the document's width is the new width.
    connect(this, &QAbstractTextDocumentLayout::update, this, [this](const QRectF& rect) {
        if (rect != QRectF(0., 0., 1000000000., 1000000000.))
            return;
        width_ = documentSize().width();
        // The base counted one line for every paragraph; a paragraph of several of the memo's
        // lines counts them all until laid out again.
        for (QTextBlock block = this->document()->firstBlock(); block.isValid();
             block = block.next()) {
            if (block.isVisible())
                block.setLineCount(memolines::count(block));
        }
    });
}

bool WrappingDocumentLayout::takesOver(const QTextBlock& block) const
{
    return block.isValid() && block.isVisible() && block.length() > longParagraph &&
           document()->defaultTextOption().wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;
}

QRectF WrappingDocumentLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (takesOver(block) && block.layout()->lineCount() == 0)
        const_cast<WrappingDocumentLayout*>(this)->layOut(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void WrappingDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
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

qreal WrappingDocumentLayout::availableWidth(const QTextBlock& block) const
{
    const QTextDocument* doc = document();
    qreal width = width_;
    if (width <= 0)
        width = qreal(INT_MAX); // no width yet: one line per paragraph
    width -= 2 * doc->documentMargin();
    if (doc->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        width -= QFontMetrics(block.charFormat().font()).horizontalAdvance(QChar(0x21B5));
    return width;
}

void WrappingDocumentLayout::layOut(const QTextBlock& block)
{
    QTextDocument* doc = document();
    QTextLayout* layout = block.layout();
    layout->setTextOption(doc->defaultTextOption());
    wraplines::breakLines(*layout, block.text(), availableWidth(block));

    // Positioned as the base positions its lines.
    const qreal margin = doc->documentMargin();
    qreal height = 0;
    for (int i = 0; i < layout->lineCount(); ++i) {
        QTextLine line = layout->lineAt(i);
        line.setLeadingIncluded(true);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0)
            height += qCeil(line.leading());
    }

    const int linesBefore = doc->lineCount();
    QTextBlock(block).setLineCount(layout->lineCount());
    if (doc->lineCount() != linesBefore)
        emit documentSizeChanged(documentSize());
}

} // namespace pennoro
