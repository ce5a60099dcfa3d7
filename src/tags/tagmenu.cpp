#include "tags/tagmenu.h"

#include "common/menuaction.h"
#include "tags/tagcatalogue.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace pennoro::tags {

namespace {

const TagSubmenu& submenuOf(TagMenu menu)
{
    for (const TagSubmenu& submenu : submenus())
        if (submenu.menu == menu)
            return submenu;
    Q_UNREACHABLE();
}

} // namespace

void addMenu(QMenuBar* bar, const std::function<void(const TagCommand&)>& run)
{
    QMenu* top = menus::addSubmenu(bar, menuControl, menuCaption);
    std::map<TagMenu, QMenu*> menus{{TagMenu::TopLevel, top}};
    // The catalogue is in display order, so a submenu is placed where its first item comes.
    for (const TagCommand& command : catalogue()) {
        QMenu*& menu = menus[command.menu];
        if (!menu) {
            const TagSubmenu& submenu = submenuOf(command.menu);
            menu = menus::addSubmenu(top, submenu.control, submenu.caption);
        }
        QAction* action =
            menus::addAction(menu, command.control, command.caption, command.shortcut);
        QObject::connect(action, &QAction::triggered, top, [&command, run] { run(command); });
    }
}

} // namespace pennoro::tags
