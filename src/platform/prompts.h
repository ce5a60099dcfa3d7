#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QString>

class QWidget;

namespace pennoro {

// The modal questions and notices the commands raise. Commands talk to this interface only, so
// that tests answer them without a modal loop.
class Prompts {
public:
    enum class Icon { None, Warning, Critical };

    virtual ~Prompts() = default;

    // A modal message box with one OK button.
    virtual void message(const QString& text, const QString& title, Icon icon) = 0;

    // The one save dialog of the run: sets its filter ("Description(*.EXT)|*.EXT"), shows it
    // modally and returns the chosen full path, or the empty text on cancel. It remembers the
    // name chosen last and opens with it.
    virtual QString saveFileName(const QString& filter) = 0;
};

// The real dialogs. Made before the main window, so that start-up can report; the window then
// becomes their owner.
class QtPrompts final : public Prompts {
public:
    QtPrompts();
    ~QtPrompts() override;

    // The window the dialogs stand over, and that gets the keyboard back when they close.
    void setOwner(QWidget* owner);

    void message(const QString& text, const QString& title, Icon icon) override;
    QString saveFileName(const QString& filter) override;

private:
    QFileDialog& saveDialog();

    QWidget* owner_ = nullptr;
    // CommonDialog1: made when first needed, then kept for the rest of the run. A child of the
    // owner, which may go first.
    QPointer<QFileDialog> dialog_;
    QString lastChosen_;
};

} // namespace pennoro
