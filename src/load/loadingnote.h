#pragma once

#include <QDeadlineTimer>
#include <QPointer>

class QLabel;
class QWidget;

namespace pennoro {

// The note over the strip of labels below the memo that says how far a long load has come: the
// reading of the store first, then the filling of the memo. It shows from `quietUntil` on, while
// clicks wait for the memo anyway, and goes with the object, at the end of the load.
class LoadingNote {
public:
    LoadingNote(QWidget& area, QDeadlineTimer quietUntil);
    ~LoadingNote();
    LoadingNote(const LoadingNote&) = delete;
    LoadingNote& operator=(const LoadingNote&) = delete;

    // How far the reading has come, in percent.
    void reading(int percent);
    // How far the filling has come, in percent.
    void filling(int percent);

private:
    void show(int percent);

    QPointer<QLabel> label_;
    QDeadlineTimer quietUntil_;
    bool readSlowly_ = false;
};

} // namespace pennoro
