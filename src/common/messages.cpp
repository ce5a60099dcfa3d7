#include "common/messages.h"

#include "common/texts.h"
#include "platform/prompts.h"

namespace pennoro::messages {

namespace {

QString describe(const QString& what, const Failure& failure)
{
    return what + QStringLiteral("\n\n") + failure.path + QStringLiteral("\n\n") +
           texts::failureReason + failure.reason;
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

void report(Prompts& prompts, const QString& text)
{
    prompts.message(text, texts::applicationTitle, Prompts::Icon::Critical);
}

} // namespace pennoro::messages
