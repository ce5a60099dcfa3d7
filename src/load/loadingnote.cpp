#include "load/loadingnote.h"

#include "common/fonts.h"
#include "common/texts.h"
#include "common/twips.h"

#include <QLabel>

namespace pennoro {

namespace {

// The reading's share of the note's percent when the window shows during the reading; the
// filling takes about twice as long.
constexpr int readingShare = 30;

} // namespace

LoadingNote::LoadingNote(QWidget& area, QDeadlineTimer quietUntil)
    : label_(new QLabel(&area)), quietUntil_(quietUntil)
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

} // namespace pennoro
