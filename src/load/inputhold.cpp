#include "load/inputhold.h"

#include <QCoreApplication>
#include <QEvent>

namespace pennoro {

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut: // a menu key, which would run its command now
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

} // namespace

InputHold::InputHold()
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold()
{
    QCoreApplication::instance()->removeEventFilter(this);
    std::vector<HeldEvent> held = std::move(held_);
    held_.clear();
    for (HeldEvent& record : held) {
        if (record.receiver)
            QCoreApplication::sendEvent(record.receiver, record.event.get());
    }
}

void InputHold::discard()
{
    held_.clear();
}

bool InputHold::eventFilter(QObject* watched, QEvent* event)
{
    if (!isInput(event->type()))
        return QObject::eventFilter(watched, event);
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

} // namespace pennoro
