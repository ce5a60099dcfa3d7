#include "app/clicklabel.h"

#include <QMouseEvent>

namespace pennoro {

ClickLabel::ClickLabel(const QString& name, const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // Like a button: the click counts only when released over the label.
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        emit clicked();
}

} // namespace pennoro
