#include "common/menuaction.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace pennoro::menus {

QAction* addAction(QMenu* menu, QStringView control, QStringView caption, QKeyCombination shortcut)
{
    QAction* action = menu->addAction(caption.toString());
    action->setObjectName(control.toString());
    if (shortcut != QKeyCombination())
        action->setShortcut(QKeySequence(shortcut));
    return action;
}

QMenu* addSubmenu(QWidget* parent, QStringView control, QStringView caption)
{
    auto* menu = new QMenu(caption.toString(), parent);
    menu->setObjectName(control.toString());
    // The menu's own action is what a menu bar or parent menu shows; give it the name too.
    menu->menuAction()->setObjectName(control.toString());
    if (auto* bar = qobject_cast<QMenuBar*>(parent))
        bar->addMenu(menu);
    else if (auto* parentMenu = qobject_cast<QMenu*>(parent))
        parentMenu->addMenu(menu);
    return menu;
}

} // namespace pennoro::menus
