#include "app/startup.h"

#include "common/messages.h"
#include "memo/memoedit.h"
#include "memo/memostore.h"
#include "platform/filereasons.h"
#include "platform/textfile.h"

#include <new>

namespace pennoro::startup {

namespace {

void reportTooLarge(Prompts& prompts)
{
    const Failure failure{textfile::displayPath(memostore::fileName), filereasons::tooLarge};
    messages::report(prompts, messages::readFailed(failure));
}

} // namespace

std::optional<QString> loadMemo(Prompts& prompts)
{
    Result<QString> loaded = memostore::load();
    if (loaded.ok())
        return std::move(loaded.value());
    messages::report(prompts, messages::readFailed(loaded.failure()));
    return std::nullopt;
}

bool fillMemo(MemoEdit& memo, QString text, Prompts& prompts)
{
    try {
        memo.loadText(text);
        return true;
    } catch (const std::bad_alloc&) {
        // The text's own memory first, so that the report can be shown.
        text = QString();
        memo.clear();
        reportTooLarge(prompts);
        return false;
    }
}

} // namespace pennoro::startup
