#pragma once

#include "app/texts.h"
#include "platform/prompts.h"

namespace pennoro {

// A failure of the clipboard or of a file, told to the user in a box titled with the program's
// name. The command that failed has changed nothing it could not finish.
inline void reportFailure(Prompts& prompts, const QString& text)
{
    prompts.message(text, texts::applicationTitle, Prompts::Icon::Critical);
}

} // namespace pennoro
