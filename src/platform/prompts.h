#pragma once

#include <QString>

class QFileDialog;
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

// The real dialogs, owned by the main window.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent);

    void message(const QString& text, const QString& title, Icon icon) override;
    QString saveFileName(const QString& filter) override;

    // The dialog object kept for the whole run (named CommonDialog1).
    QFileDialog* saveDialog() const { return dialog_; }

private:
    QWidget* parent_;
    QFileDialog* dialog_;
    QString lastChosen_;
};

} // namespace pennoro
