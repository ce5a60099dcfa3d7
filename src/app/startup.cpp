#include "app/startup.h"

#include "common/messages.h"
#include "memo/memostore.h"

namespace pennoro::startup {

std::optional<QString> loadMemo(Prompts& prompts)
{
    return loadMemo(prompts, memostore::load());
}

std::optional<QString> loadMemo(Prompts& prompts, Result<QString> loaded)
{
    if (loaded.ok())
        return std::move(loaded.value());
    messages::report(prompts, messages::readFailed(loaded.failure()));
    return std::nullopt;
}

} // namespace pennoro::startup
