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
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1).replace(u';', u' ') +
           u')';
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

} // namespace

QtPrompts::QtPrompts(QWidget* parent) : parent_(parent), dialog_(new QFileDialog(parent))
{
    dialog_->setObjectName(QStringLiteral("CommonDialog1"));
    dialog_->setAcceptMode(QFileDialog::AcceptSave);
    dialog_->setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file without asking is intended: the notice before the dialog is
    // the warning. No default suffix is set, so a typed name is used exactly as typed.
    dialog_->setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog_->setOption(QFileDialog::DontUseNativeDialog, true);
}

void QtPrompts::message(const QString& text, const QString& title, Icon icon)
{
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtPrompts::saveFileName(const QString& filter)
{
    dialog_->setNameFilter(toQtFilter(filter));
    if (dialog_->exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog_->selectedFiles();
    if (chosen.isEmpty())
        return {};
    // Reopen with this name next time, in this folder.
    dialog_->selectFile(chosen.first());
    return chosen.first();
}

} // namespace pennoro
