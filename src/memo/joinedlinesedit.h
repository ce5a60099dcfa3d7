#pragma once

#include <QBasicTimer>
#include <QPlainTextEdit>

#include <optional>

namespace pennoro {

// A plain text edit whose paragraphs may hold several lines joined by line separators, and that
// answers keys and clicks as if each of those lines were a paragraph of its own: a triple click
// selects one line and a drag from it whole lines, word moves stop at a line's end, and a
// selected line end is marked as a selected paragraph end is.
class JoinedLinesEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit JoinedLinesEdit(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void selectAsPressed(const QTextCursor& selection, int top);
    bool moveByWordInLine(const QKeyEvent& event);

    // Runs from a double click for as long as the next press makes it a triple click.
    QBasicTimer tripleClickTimer_;
    QPoint tripleClickPoint_;
    // The line a triple click selected, while a drag or Shift+click extends from it.
    std::optional<QTextCursor> tripleClickLine_;
    // A press inside the selection, which may start dragging the text away.
    bool pressedInSelection_ = false;
};

} // namespace pennoro
