#include "app/startup.h"

#include "app/memostore.h"
#include "app/messages.h"
#include "app/texts.h"
#include "platform/prompts.h"

namespace pennoro {

std::optional<QString> loadMemoForStartUp(Prompts& prompts)
{
    memostore::LoadResult loaded = memostore::load();
    switch (loaded.status) {
    case ReadResult::Status::Read:
        return std::move(loaded.memo);
    case ReadResult::Status::Missing:
        return QString();
    case ReadResult::Status::Failed:
        break;
    }
    prompts.message(messages::readFailed(loaded.error), texts::applicationTitle,
                    Prompts::Icon::Critical);
    return std::nullopt;
}

} // namespace pennoro
