#pragma once

#include <QKeyCombination>
#include <QStringView>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace pennoro::menus {

// A menu item named after its control, with its caption ("&" marks the access key) and shortcut.
QAction* addAction(QMenu* menu, QStringView control, QStringView caption,
                   QKeyCombination shortcut = {});

// A submenu named after its control.
QMenu* addSubmenu(QWidget* parent, QStringView control, QStringView caption);

} // namespace pennoro::menus
