#pragma once

#include <QString>

#include <optional>

namespace pennoro {

class Prompts;

namespace startup {

// Reads the memo store for start-up. A missing store gives the empty memo; one that exists but
// cannot be read is reported and gives nothing: the program then ends without its window.
std::optional<QString> loadMemo(Prompts& prompts);

} // namespace startup
} // namespace pennoro
