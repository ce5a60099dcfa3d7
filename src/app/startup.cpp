#include "app/startup.h"

#include "common/messages.h"
#include "memo/memostore.h"

namespace pennoro::startup {

std::optional<QString> loadMemo(Prompts& prompts)
{
    Result<QString> loaded = memostore::load();
    if (loaded.ok())
        return std::move(loaded.value());
    messages::report(prompts, messages::readFailed(loaded.failure()));
    return std::nullopt;
}

} // namespace pennoro::startup
