#pragma once

#include <QIcon>

namespace pennoro::icons {

// The program icon, shown by the main window and the About box: a 16-colour drawing in sizes of
// 16, 32, 48 and 256 pixels.
QIcon program();

} // namespace pennoro::icons
