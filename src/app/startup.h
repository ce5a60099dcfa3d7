#pragma once

#include "platform/result.h"

#include <QString>

#include <optional>

namespace pennoro {

class Prompts;

namespace startup {

// Reads the memo store for start-up. A missing store gives the empty memo; one that exists but
// cannot be read is reported and gives nothing: the program then ends without its window.
std::optional<QString> loadMemo(Prompts& prompts);
// The same for a store already read (memostore::load's result).
std::optional<QString> loadMemo(Prompts& prompts, Result<QString> loaded);

} // namespace startup
} // namespace pennoro
