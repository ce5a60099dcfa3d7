#include "edit/textexport.h"

#include "common/messages.h"
#include "common/texts.h"
#include "platform/prompts.h"
#include "platform/textfile.h"

namespace pennoro::textexport {

QString chooseFile(Prompts& prompts)
{
    prompts.message(texts::outputNotice, texts::applicationTitle, Prompts::Icon::None);
    return prompts.saveFileName(texts::textFileFilter);
}

namespace {

bool reported(const Outcome& written, Prompts& prompts)
{
    if (!written.ok())
        messages::report(prompts, messages::writeFailed(written.failure()));
    return written.ok();
}

} // namespace

bool writeFile(const QString& path, QStringView text, Prompts& prompts)
{
    return reported(textfile::writeText(path, text), prompts);
}

bool writeFile(const QString& path, const textfile::NextText& text, Prompts& prompts)
{
    return reported(textfile::writeText(path, text), prompts);
}

} // namespace pennoro::textexport
