#pragma once

#include <QPlainTextDocumentLayout>

#include <functional>

class QTextLayout;

namespace pennoro {

// QPlainTextEdit's document layout, laying out long paragraphs with wraplines::breakLines: the
// same lines, without the cost that grows with the square of an unbreakable run's length. Short
// paragraphs, and everything else, stay with QPlainTextDocumentLayout.
//
// The base class lays out a paragraph when asked for its rectangle while it has no lines and
// when a change stays inside it; both are taken here for long paragraphs, doing what the base
// does there. A paragraph that already has lines is left alone by the base.
class LinearWrappingLayout : public QPlainTextDocumentLayout {
    Q_OBJECT

public:
    // `width` gives the width the base lays out at: the width of the view that shows the
    // document (QPlainTextEdit lays out at its viewport's width).
    LinearWrappingLayout(QTextDocument* document, std::function<int()> width);

    // Below this length the base class's own layout costs next to nothing, whatever the text.
    static constexpr int longParagraph = 2048;

    QRectF blockBoundingRect(const QTextBlock& block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    bool takesOver(const QTextBlock& block) const;
    void layOut(const QTextBlock& block);
    qreal availableWidth(const QTextBlock& block) const;
    void placeLinesAsTheBaseDoes(QTextLayout& layout) const;

    std::function<int()> width_;
    int blockCount_ = 1; // the block count the last change left, as the base keeps it
};

} // namespace pennoro
