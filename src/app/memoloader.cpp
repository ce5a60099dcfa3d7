#include "app/memoloader.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/fonts.h"
#include "common/texts.h"
#include "common/twips.h"
#include "memo/inputhold.h"
#include "memo/memoedit.h"
#include "memo/memofill.h"
#include "memo/memostore.h"
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QThread>

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

// Lets the window appear with the memo's first lines before the rest is added. User input waits
// in the hold meanwhile.
void waitForFirstPaint(const QWidget& window, QWidget& viewport)
{
    const PaintWatch watch(viewport);
    while (!watch.painted() && window.isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Waits for the store to be read. One that takes long shows the window meanwhile, with the note.
// Returns false when the window was closed before the reading ended.
bool waitForStore(MainWindow& window, StoreReading& reading, LoadingNote& note)
{
    if (reading.waitUntil(reading.quietUntil()))
        return true;
    window.show();
    do {
        note.reading(reading.percent());
        QCoreApplication::processEvents();
    } while (!reading.waitUntil(QDeadlineTimer(20)) && window.isVisible());
    return window.isVisible();
}

} // namespace

StoreReading::StoreReading(const QString& path, std::chrono::milliseconds quiet)
{
    quietUntil_.setRemainingTime(quiet);
    // The first thread that asks becomes Qt's main thread: this one, not the reader's.
    QThread::currentThread();
    result_ =
        std::async(std::launch::async, [this, path] { return memostore::load(path, &progress_); });
}

StoreReading::~StoreReading()
{
    progress_.givenUp = true;
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

bool showWithMemo(MainWindow& window, QString memo, LoadingNote& note)
{
    MemoEdit& edit = *window.memo();
    MemoFill fill(edit, std::move(memo));
    fill.fillHead();
    window.show();
    if (!fill.hasRest())
        return true;
    waitForFirstPaint(window, *edit.viewport());
    QObject::connect(&fill, &MemoFill::progressed, &fill,
                     [&note](int percent) { note.filling(percent); });
    return fill.fillRest() && window.isVisible();
}

Loaded load(MainWindow& window, StoreReading& reading, Prompts& prompts)
{
    // From here to the whole memo, what the user types or clicks waits, in order.
    std::optional<InputHold> held(std::in_place);
    LoadingNote note(window, reading.quietUntil());
    const auto giveUp = [&held](Loaded outcome) {
        held->discard();
        held.reset(); // before a message, which must take clicks
        return outcome;
    };
    if (!waitForStore(window, reading, note))
        return giveUp(Loaded::GivenUp);
    Result<QString> read = reading.take();
    if (!read.ok())
        giveUp(Loaded::Failed);
    std::optional<QString> memo = loadMemo(prompts, std::move(read));
    if (!memo)
        return Loaded::Failed;
    // The memo takes the text over: a large store's copy does not stay for the whole run.
    if (!showWithMemo(window, std::move(*memo), note))
        return giveUp(Loaded::GivenUp);
    return Loaded::Whole;
}

} // namespace startup
} // namespace pennoro
