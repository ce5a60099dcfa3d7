#include "common/messages.h"

#include "common/texts.h"
#include "platform/prompts.h"

namespace pennoro::messages {

namespace {

QString describe(const QString& what, const FileResult& failure)
{
    return what + QStringLiteral("\n\n") + failure.path + QStringLiteral("\n\n") +
           QStringLiteral("理由: ") + failure.reason;
}

} // namespace

QString writeFailed(const FileResult& failure)
{
    return describe(QStringLiteral("ファイルに書き込めませんでした。内容はそのまま残っています。"),
                    failure);
}

QString readFailed(const FileResult& failure)
{
    return describe(QStringLiteral("ファイルを読み込めませんでした。Pennoro を終了します。"),
                    failure);
}

} // namespace pennoro::messages

namespace pennoro {

void reportFailure(Prompts& prompts, const QString& text)
{
    prompts.message(text, texts::applicationTitle, Prompts::Icon::Critical);
}

} // namespace pennoro
