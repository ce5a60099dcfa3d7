#include "platform/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace pennoro {

namespace {

// "Description(*.TXT)|*.TXT" becomes the dialog's "Description(*.TXT) (*.TXT)". Patterns match
// names in any letter case, as they do on Windows.
QString toQtFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1).replace(u';', u' ') + u')';
}

QMessageBox::Icon toQtIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Runs the dialog modally, then gives the keyboard back to the window below it, so that typing
// goes on in the memo: without a window manager, or with one that does not do it, the keys
// would otherwise go nowhere once the dialog has closed.
int execAndReturnFocus(QDialog& dialog, QWidget* parent)
{
    const int result = dialog.exec();
    if (parent && parent->isVisible())
        parent->activateWindow();
    return result;
}

} // namespace

QtPrompts::QtPrompts() = default;
QtPrompts::~QtPrompts()
{
    delete dialog_;
}

void QtPrompts::setOwner(QWidget* owner)
{
    owner_ = owner;
}

QFileDialog& QtPrompts::saveDialog()
{
    if (dialog_)
        return *dialog_;
    dialog_ = new QFileDialog(owner_);
    dialog_->setObjectName(QStringLiteral("CommonDialog1"));
    dialog_->setAcceptMode(QFileDialog::AcceptSave);
    dialog_->setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file without asking is intended: the notice before the dialog is
    // the warning. No default suffix is set, so a typed name is used exactly as typed.
    dialog_->setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog_->setOption(QFileDialog::DontUseNativeDialog, true);
    // The list shows the description alone, "Description(*.TXT)", as the filter gives it.
    dialog_->setOption(QFileDialog::HideNameFilterDetails, true);
    return *dialog_;
}

void QtPrompts::message(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::Ok, owner_);
    execAndReturnFocus(box, owner_);
}

QString QtPrompts::saveFileName(const QString& filter)
{
    QFileDialog& dialog = saveDialog();
    dialog.setNameFilter(toQtFilter(filter));
    // The dialog opens with the name chosen last, in its folder, even when a name was typed and
    // the dialog cancelled since.
    if (!lastChosen_.isEmpty())
        dialog.selectFile(lastChosen_);
    if (execAndReturnFocus(dialog, owner_) != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty())
        lastChosen_ = chosen;
    return chosen;
}

} // namespace pennoro
