#include "platform/writesignals.h"

#include <csignal>

namespace pennoro::writesignals {

void ignore()
{
    // Neither signal exists on Windows, where such writes simply fail.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

} // namespace pennoro::writesignals
