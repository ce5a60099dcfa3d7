#pragma once

#include <QKeyCombination>
#include <QStringView>

#include <span>

namespace pennoro {

// What a tag command puts in place of the selection S:
//   Wrap:  open + S + close
//   Link:  open + S + middle + S + close
//   Fixed: open alone (S is dropped)
enum class TagShape { Wrap, Link, Fixed };

// The submenus of the HTML tag menu; TopLevel means the item sits in the menu itself.
enum class TagMenu { TopLevel, Colour, Size, Font, Extension };

struct TagSubmenu {
    TagMenu menu;
    QStringView control;
    QStringView caption;
};

struct TagCommand {
    QStringView control; // the menu item's object name, e.g. "mnuTG41"
    QStringView caption; // "&" marks the access key
    QKeyCombination shortcut;
    TagShape shape;
    QStringView open;
    QStringView middle;
    QStringView close;
    TagMenu menu;
};

namespace tags {

// The HTML tag menu itself.
inline constexpr QStringView menuControl = u"mnuTG";
inline constexpr QStringView menuCaption = u"HTMLﾀｸﾞ(&T)";

// Every tag command, in display order, top to bottom through the menu and its submenus.
std::span<const TagCommand> catalogue();
// The four submenus.
std::span<const TagSubmenu> submenus();

} // namespace tags
} // namespace pennoro
