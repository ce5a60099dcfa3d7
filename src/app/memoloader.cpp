#include "app/memoloader.h"

#include "app/mainwindow.h"
#include "common/fonts.h"
#include "common/texts.h"
#include "common/twips.h"
#include "memo/memoedit.h"
#include "memo/memofill.h"
#include "memo/memostore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QThread>

namespace pennoro {

namespace {

// Loads shorter than this, in milliseconds, show no note.
constexpr qint64 quietLoad = 500;

// The note of how far the load has come, over the strip of labels below the memo: the labels'
// commands cannot run before the memo is whole anyway.
QLabel* makeNote(QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setObjectName(QStringLiteral("loadingNote"));
    note->setGeometry(twips::rect(0, 3735, 8775, 480));
    note->setAlignment(Qt::AlignCenter);
    note->setAutoFillBackground(true);
    QFont font = fonts::msPGothic(11.25);
    font.setBold(true);
    note->setFont(font);
    note->hide();
    return note;
}

// Notes whether a widget has been painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget& widget) : widget_(widget) { widget.installEventFilter(this); }
    ~PaintWatch() override { widget_.removeEventFilter(this); }
    bool painted() const { return painted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        painted_ = painted_ || event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& widget_;
    bool painted_ = false;
};

// Lets the window appear with the memo's first lines before the rest is added. User input stays
// queued meanwhile.
void waitForFirstPaint(const QWidget& window, QWidget& viewport)
{
    const PaintWatch watch(viewport);
    while (!watch.painted() && window.isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

} // namespace

StoreReading::StoreReading()
{
    quietUntil_.setRemainingTime(quietLoad);
    // The first thread that asks becomes Qt's main thread: this one, not the reader's.
    QThread::currentThread();
    result_ = std::async(std::launch::async, [] { return memostore::load(); });
}

Result<QString> StoreReading::take()
{
    return result_.get();
}

namespace startup {

void showWithMemo(MainWindow& window, QString memo, QDeadlineTimer quietUntil)
{
    MemoEdit& edit = *window.memo();
    MemoFill fill(edit, std::move(memo));
    fill.fillHead();
    window.show();
    if (!fill.hasRest())
        return;
    waitForFirstPaint(window, *edit.viewport());
    QLabel* note = makeNote(window.centralWidget());
    QObject::connect(&fill, &MemoFill::progressed, note, [note, quietUntil](int percent) {
        note->setText(texts::loadingProgress.arg(percent));
        if (quietUntil.hasExpired())
            note->show();
    });
    fill.fillRest();
    delete note;
}

} // namespace startup
} // namespace pennoro
