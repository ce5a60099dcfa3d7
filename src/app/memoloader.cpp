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

#include <system_error>

namespace pennoro {

namespace {

// The reading's share of the note's percent when the window shows during the reading; the
// filling takes about twice as long.
constexpr int readingShare = 30;

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

StoreReading::StoreReading(const QString& path, std::chrono::milliseconds quiet)
{
    quietUntil_.setRemainingTime(quiet);
    // The first thread that asks becomes Qt's main thread: this one, not the reader's.
    QThread::currentThread();
    try {
        result_ = std::async(std::launch::async,
                             [this, path] { return memostore::load(path, &percent_); });
    } catch (const std::system_error&) {
        // No thread to be had (a limit on memory or processes): the store is read here, before Qt
        // starts, rather than not at all.
        std::promise<Result<QString>> read;
        read.set_value(memostore::load(path, &percent_));
        result_ = read.get_future();
    }
}

bool StoreReading::waitUntil(QDeadlineTimer deadline) const
{
    if (deadline.isForever()) {
        result_.wait();
        return true;
    }
    return result_.wait_for(std::chrono::milliseconds(deadline.remainingTime())) ==
           std::future_status::ready;
}

Result<QString> StoreReading::take()
{
    return result_.get();
}

LoadingNote::LoadingNote(MainWindow& window, QDeadlineTimer quietUntil)
    : label_(new QLabel(window.centralWidget())), quietUntil_(quietUntil)
{
    label_->setObjectName(QStringLiteral("loadingNote"));
    label_->setGeometry(twips::rect(0, 3735, 8775, 480));
    label_->setAlignment(Qt::AlignCenter);
    label_->setAutoFillBackground(true);
    QFont font = fonts::msPGothic(11.25);
    font.setBold(true);
    label_->setFont(font);
    label_->hide();
}

LoadingNote::~LoadingNote()
{
    delete label_;
}

void LoadingNote::reading(int percent)
{
    readSlowly_ = true;
    show(percent * readingShare / 100);
}

void LoadingNote::filling(int percent)
{
    show(readSlowly_ ? readingShare + percent * (100 - readingShare) / 100 : percent);
}

void LoadingNote::show(int percent)
{
    label_->setText(texts::loadingProgress.arg(percent));
    if (quietUntil_.hasExpired())
        label_->show();
}

namespace startup {

bool waitForStore(MainWindow& window, StoreReading& reading, LoadingNote& note)
{
    if (reading.waitUntil(reading.quietUntil()))
        return true;
    window.show();
    // Input stays queued in the window system meanwhile, in order, for after the load.
    do {
        note.reading(reading.percent());
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } while (!reading.waitUntil(QDeadlineTimer(20)) && window.isVisible());
    return window.isVisible();
}

void showWithMemo(MainWindow& window, QString memo, LoadingNote& note)
{
    MemoEdit& edit = *window.memo();
    MemoFill fill(edit, std::move(memo));
    fill.fillHead();
    window.show();
    if (!fill.hasRest())
        return;
    waitForFirstPaint(window, *edit.viewport());
    QObject::connect(&fill, &MemoFill::progressed, &fill,
                     [&note](int percent) { note.filling(percent); });
    fill.fillRest();
}

} // namespace startup
} // namespace pennoro
