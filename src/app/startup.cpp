#include "app/startup.h"

#include "memo/memostore.h"
#include "common/messages.h"

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
    reportFailure(prompts, messages::readFailed(loaded.error));
    return std::nullopt;
}

} // namespace pennoro
