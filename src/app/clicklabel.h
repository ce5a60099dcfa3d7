#pragma once

#include <QLabel>

namespace pennoro {

// A label drawn like a button: a mouse click runs its command. It never takes the keyboard
// focus, so a click leaves the caret where it was in the memo.
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    ClickLabel(const QString& name, const QString& caption, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace pennoro
