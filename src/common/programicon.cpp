#include "common/programicon.h"

#include <array>

// The icons are compiled into the static library pennoro_core; a linker keeps a resource file's
// registration only when something refers to it, which this does.
static void initProgramIconResources()
{
    Q_INIT_RESOURCE(pennoro);
}

namespace pennoro::icons {

QIcon program()
{
    static const bool registered = (initProgramIconResources(), true);
    Q_UNUSED(registered);
    QIcon icon;
    for (const int size : std::array{16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/pennoro-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace pennoro::icons
