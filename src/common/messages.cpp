#include "common/messages.h"

#include "common/texts.h"
#include "platform/prompts.h"

namespace pennoro::messages {

namespace {

QString describe(const QString& what, const Failure& failure)
{
    // A failure that concerns no file (no runtime folder at all) has no path to show.
    const QString path = failure.path.isEmpty() ? QString() : failure.path + QStringLiteral("\n\n");
    return what + QStringLiteral("\n\n") + path + texts::failureReason + failure.reason;
}

} // namespace

QString writeFailed(const Failure& failure)
{
    return describe(texts::fileWriteFailed, failure);
}

QString readFailed(const Failure& failure)
{
    return describe(texts::fileReadFailed, failure);
}

QString previewFailed(const Failure& failure)
{
    return describe(texts::previewFailed, failure);
}

void report(Prompts& prompts, const QString& text)
{
    prompts.message(text, texts::applicationTitle, Prompts::Icon::Critical);
}

} // namespace pennoro::messages
