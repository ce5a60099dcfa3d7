#include "load/memoload.h"

#include "common/messages.h"
#include "load/inputhold.h"
#include "load/loadingnote.h"
#include "load/memofill.h"
#include "load/sharedparagraphs.h"
#include "load/storereading.h"
#include "memo/memoedit.h"
#include "platform/filereasons.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>

#include <new>
#include <optional>

namespace pennoro {

namespace {

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

} // namespace

MemoLoad::MemoLoad(QMainWindow& window, MemoEdit& memo) : window_(window), memo_(memo) {}

MemoLoad::~MemoLoad() = default;

void MemoLoad::enter(Phase phase)
{
    phase_ = phase;
    emit phaseChanged(phase);
}

MemoLoad::Phase MemoLoad::run(StoreReading& reading, Prompts& prompts)
{
    std::optional<InputHold> held(std::in_place);
    LoadingNote note(*window_.centralWidget(), reading.quietUntil());
    const auto endEarly = [&](Phase end) {
        held->discard();
        held.reset(); // before a message, which must take clicks
        enter(end);
        return end;
    };
    enter(Phase::Reading);
    if (!waitForStore(reading, note))
        return endEarly(Phase::Abandoned);
    Result<QString> read = reading.take();
    if (!read.ok()) {
        endEarly(Phase::Failed);
        messages::report(prompts, messages::readFailed(read.failure()));
        return Phase::Failed;
    }
    // The memo takes the text over: a large store's copy does not stay for the whole run.
    Phase reached = Phase::Failed;
    try {
        reached = fill(std::move(read.value()), note);
    } catch (const std::bad_alloc&) {
        // The estimate taken with the store's text let it in, and memory ran out all the same;
        // the text held for the fill is freed by now. The program ends without saving.
        endEarly(Phase::Failed);
        messages::report(
            prompts, messages::readFailed(Failure{reading.displayPath(), filereasons::tooLarge}));
        return Phase::Failed;
    }
    if (reached == Phase::Abandoned)
        held->discard();
    return reached;
}

MemoLoad::Phase MemoLoad::run(QString memo)
{
    const InputHold held;
    LoadingNote note(*window_.centralWidget(), QDeadlineTimer::Forever);
    return fill(std::move(memo), note);
}

// Waits for the store to be read. One that takes long shows the window meanwhile, with the note.
// False when the window was closed before the reading ended.
bool MemoLoad::waitForStore(StoreReading& reading, LoadingNote& note)
{
    if (reading.waitUntil(reading.quietUntil()))
        return true;
    window_.show();
    do {
        note.reading(reading.percent());
        QCoreApplication::processEvents();
    } while (!reading.waitUntil(QDeadlineTimer(20)) && window_.isVisible());
    return window_.isVisible();
}

MemoLoad::Phase MemoLoad::fill(QString memo, LoadingNote& note)
{
    MemoFill fill(memo_, std::move(memo));
    enter(Phase::Head);
    fill.fillHead();
    window_.show();
    if (fill.hasRest()) {
        waitForFirstPaint();
        enter(Phase::Rest);
        connect(&fill, &MemoFill::progressed, this,
                [&note](int percent) { note.filling(percent); });
        if (!fill.fillRest() || !window_.isVisible()) {
            enter(Phase::Abandoned);
            return phase_;
        }
    }
    SharedParagraphs* shared = fill.sharedParagraphs();
    if (!shared) {
        enter(Phase::Done);
        return phase_;
    }
    enter(Phase::Splitting);
    connect(shared, &SharedParagraphs::splitEnded, this, [this] { enter(Phase::Done); });
    shared->split();
    return phase_;
}

// Lets the window appear with the memo's first lines before the rest is added.
void MemoLoad::waitForFirstPaint()
{
    const PaintWatch watch(*memo_.viewport());
    while (!watch.painted() && window_.isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace pennoro
