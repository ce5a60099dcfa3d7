#pragma once

#include <QString>

#include <optional>

namespace pennoro {

class MemoEdit;
class Prompts;

namespace startup {

// Reads the memo store for start-up. A missing store gives the empty memo; one that exists but
// cannot be read is reported and gives nothing: the program then ends without its window.
std::optional<QString> loadMemo(Prompts& prompts);

// Puts the loaded memo into the window's memo. Should the memory run out on the way, that is
// reported as for a store too large to read, and the answer is false: the program then ends.
bool fillMemo(MemoEdit& memo, QString text, Prompts& prompts);

} // namespace startup
} // namespace pennoro
