#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QEvent;

namespace pennoro {

// Holds back what the user types and clicks while the memo loads, for every window of the
// program, and hands it on in order when the hold ends, as if typed after the load. Everything
// else goes through meanwhile: painting, timers, and the window manager's request to close a
// window, which must end a load at once (the window system's own way of holding input back
// holds that request too). Holds may nest; the outer one then hands on what the inner held.
class InputHold : public QObject {
public:
    InputHold();
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Forgets what was held: a load given up must not run a command typed before (an F2 would
    // save a memo only partly loaded).
    void discard();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HeldEvent {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    std::vector<HeldEvent> held_;
};

} // namespace pennoro
