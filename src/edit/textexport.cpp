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

bool writeFile(const QString& path, QStringView text, Prompts& prompts)
{
    const Outcome written = textfile::writeText(path, text);
    if (!written.ok())
        messages::report(prompts, messages::writeFailed(written.failure()));
    return written.ok();
}

} // namespace pennoro::textexport
